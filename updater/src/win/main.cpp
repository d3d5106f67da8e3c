// Entry point of the updater: selects the mode from the command line.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "command_line.h"
#include "exit_codes.h"
#include "self_copy.h"
#include "updater_modes.h"
#include "updater_run_lock.h"
#include "velko/engine/engine_download_steps.h"

namespace {

using velko::updater::UpdaterRunLock;

// How long extract mode waits for the updater that started it to end.
constexpr DWORD kExtractLockWaitMs = 120000;

std::vector<std::wstring> SplitProcessCommandLine() {
  std::vector<std::wstring> arguments;
  int count = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (argv == nullptr) {
    return arguments;
  }
  arguments.assign(argv, argv + count);
  ::LocalFree(argv);
  return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  // Libraries loaded from here on come from the system folder only (or the
  // full path given), never from the current folder or PATH, where a user
  // could plant one for this elevated process.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Single-threaded apartment for the Task Scheduler objects; COM stays
  // initialised until the process ends.
  ::CoInitialize(nullptr);
  using velko::updater::UpdaterMode;
  const velko::updater::UpdaterCommandLine command_line =
      velko::updater::ParseUpdaterCommandLine(SplitProcessCommandLine());
  switch (command_line.mode) {
    case UpdaterMode::kTask: {
      // Held until the run ends; a second task start meanwhile ends at once.
      const std::optional<UpdaterRunLock> lock = UpdaterRunLock::Acquire(0);
      if (!lock) return velko::updater::kExitAnotherUpdaterRunning;
      // Copies left by earlier runs; the one that applied last has ended by now.
      velko::updater::DeleteOldSelfCopies(velko::engine::DefaultDownloadFolder());
      return velko::updater::RunTaskMode(instance, show_command);
    }
    case UpdaterMode::kExtract: {
      // The task-mode updater that started this copy holds the lock until it
      // ends; another one holding it longer is busy with an update itself.
      const std::optional<UpdaterRunLock> lock = UpdaterRunLock::Acquire(kExtractLockWaitMs);
      if (!lock) return velko::updater::kExitSuccess;
      return velko::updater::RunExtractMode(instance, command_line.extra);
    }
    case UpdaterMode::kRegister:
      break;
  }
  return velko::updater::RunRegisterMode(instance);
}
