#include "download_apply.h"

#include "package_apply.h"
#include "self_copy.h"
#include "velko/file_utils.h"

namespace velko::updater {

ApplySteps ApplySteps::ForProcess(HINSTANCE instance) {
  ApplySteps steps;
  steps.is_browser_running = [](const std::wstring& folder) { return IsBrowserRunning(folder); };
  steps.start_self_copy = [instance](const std::wstring& package) {
    return StartSelfCopy(instance, package);
  };
  steps.extract_in_place = [](const std::wstring& package, const std::wstring& folder) {
    return ExtractPackage(package, folder, false, 0).status == ApplyStatus::kApplied;
  };
  return steps;
}

ApplyOutcome ApplyDownloadedPackage(const std::wstring& package_path,
                                    const std::wstring& target_folder, const ApplySteps& steps) {
  if (target_folder.empty()) return ApplyOutcome::kNoTargetFolder;
  ::CreateDirectoryW(target_folder.c_str(), nullptr);  // an existing folder is fine
  if (steps.is_browser_running(target_folder)) return ApplyOutcome::kBrowserRunning;
  if (steps.start_self_copy(package_path)) return ApplyOutcome::kCopyStarted;
  if (!steps.extract_in_place(package_path, target_folder)) return ApplyOutcome::kInPlaceFailed;
  return ApplyOutcome::kAppliedInPlace;
}

}  // namespace velko::updater
