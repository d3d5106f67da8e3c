#include "updater_modes.h"

#include "exit_codes.h"
#include "package_apply.h"
#include "scheduled_task.h"
#include "task_update_check.h"
#include "update_browser_thread.h"
#include "updater_settings.h"

namespace velko::updater {

int RunRegisterMode(HINSTANCE instance) { return RegisterUpdateTask(instance); }

int RunTaskMode(HINSTANCE instance, int show_command) {
  // An apply killed half-way is undone before the browser's version is read.
  if (const std::optional<std::wstring> target = ApplyTargetFolder()) RecoverInterruptedApply(*target);
  CUpdateBrowserThread controller(instance, show_command);
  if (const std::optional<int> exit_code = RunTaskUpdateCheck(controller)) {
    return *exit_code;
  }
  if (!controller.CreateControllerWindow()) {
    return kExitFailure;
  }
  return controller.RunMessageLoop();
}

int RunExtractMode(HINSTANCE, const std::wstring& package_path) {
  const std::optional<std::wstring> target = ApplyTargetFolder();
  if (!target) return kExitFailure;
  ::CreateDirectoryW(target->c_str(), nullptr);  // an existing folder is fine
  // The wait for the starting updater to end has this deadline.
  const ApplyStatus status = ExtractPackage(package_path, *target, true, settings::kExtractWaitMs).status;
  // The old version stays on every failure; the exit code reports it.
  return status == ApplyStatus::kApplied || status == ApplyStatus::kNoPackage ? kExitSuccess : kExitFailure;
}

}  // namespace velko::updater
