#pragma once
// What the task-mode controller does with a completed download.

#include <windows.h>

#include <functional>
#include <string>

namespace velko::updater {

enum class ApplyOutcome {
  kNoTargetFolder,   // the system names no Program Files folder: nothing done
  kBrowserRunning,   // postponed: the package stays in the download folder
  kCopyStarted,      // a temporary copy applies it in extract mode
  kAppliedInPlace,   // no copy could be started: unpacked by this process
  kInPlaceFailed,    // no copy could be started and unpacking here failed: old version kept
};

struct ApplySteps {
  std::function<bool(const std::wstring& target_folder)> is_browser_running;
  std::function<bool(const std::wstring& package_path)> start_self_copy;
  // Unpacks without waiting and without restarting anything; false when the
  // package was not installed completely (the old version is then kept).
  std::function<bool(const std::wstring& package_path, const std::wstring& target_folder)>
      extract_in_place;

  // The real steps for the process of `instance`.
  static ApplySteps ForProcess(HINSTANCE instance);
};

// Creates the target folder, then: postpones while the browser runs from it,
// else hands the package to a temporary copy, else unpacks it in place.
ApplyOutcome ApplyDownloadedPackage(const std::wstring& package_path,
                                    const std::wstring& target_folder, const ApplySteps& steps);

}  // namespace velko::updater
