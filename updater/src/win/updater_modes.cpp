#include "updater_modes.h"

#include "exit_codes.h"
#include "scheduled_task.h"
#include "task_update_check.h"
#include "update_browser_thread.h"

namespace velko::updater {

int RunRegisterMode(HINSTANCE instance) { return RegisterUpdateTask(instance); }

int RunTaskMode(HINSTANCE instance, int show_command) {
  CUpdateBrowserThread controller(instance, show_command);
  if (const std::optional<int> exit_code = RunTaskUpdateCheck(controller)) {
    return *exit_code;
  }
  if (!controller.CreateControllerWindow()) {
    return kExitFailure;
  }
  return controller.RunMessageLoop();
}

int RunExtractMode(HINSTANCE, const std::wstring&) {
  // Unpacking the downloaded package arrives with the download step; until
  // then extract mode changes nothing.
  return kExitSuccess;
}

}  // namespace velko::updater
