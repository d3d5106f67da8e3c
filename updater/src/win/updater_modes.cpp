#include "updater_modes.h"

#include "exit_codes.h"
#include "package_apply.h"
#include "scheduled_task.h"
#include "self_copy.h"
#include "task_update_check.h"
#include "update_browser_thread.h"
#include "updater_run_lock.h"
#include "updater_settings.h"
#include "velko/engine/engine_download_steps.h"

namespace velko::updater {
namespace {
// How long extract mode waits for the updater that started it to end.
constexpr DWORD kExtractLockWaitMs = 120000;
}  // namespace

int RunRegisterMode(HINSTANCE instance) { return RegisterUpdateTask(instance); }

int RunTaskMode(HINSTANCE instance, int show_command) {
  // Held until the run ends; a second task start meanwhile ends at once.
  const std::optional<UpdaterRunLock> lock = UpdaterRunLock::Acquire(0);
  if (!lock) return kExitAnotherUpdaterRunning;
  // Copies left by earlier runs; the one that applied last has ended by now.
  DeleteOldSelfCopies(engine::DefaultDownloadFolder());
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
  // The task-mode updater that started this copy holds the lock until it
  // ends; another updater holding it longer is applying something itself.
  const std::optional<UpdaterRunLock> lock = UpdaterRunLock::Acquire(kExtractLockWaitMs);
  if (!lock) return kExitSuccess;
  if (const std::optional<std::wstring> target = ApplyTargetFolder()) {
    ::CreateDirectoryW(target->c_str(), nullptr);  // an existing folder is fine
    ExtractPackage(package_path, *target, true, settings::kExtractWaitMs);
  }
  return kExitSuccess;
}

}  // namespace velko::updater
