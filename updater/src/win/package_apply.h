#pragma once
// Applying a downloaded update package to the installation: the target
// folder, unpacking into a staging folder beside it, the swap that puts the
// new files in place only when all of them were written (velko/staged_swap.h),
// and the restart of the unpacked updater.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "velko/rar_extraction.h"
#include "velko/staged_swap.h"

namespace velko::updater {

inline constexpr wchar_t kInstallFolderName[] = L"VelkoBrowser";
inline constexpr wchar_t kInstalledUpdaterName[] = L"updater.exe";

// "<Program Files>\VelkoBrowser" as the system reports Program Files to this
// process (the 32-bit folder for the 32-bit updater on a 64-bit system): the
// folder the installer installs into. nullopt when the system names no
// Program Files folder, so that nothing is ever unpacked below a relative
// path.
std::optional<std::wstring> ApplyTargetFolder();

enum class ApplyStatus {
  kApplied,         // every file of the package is installed
  kNoPackage,       // no package path given: nothing to do
  kBusy,            // another apply of this folder is running
  kNotExtracted,    // the package did not unpack completely: nothing changed
  kFilesInUse,      // a file to be replaced is in use: nothing changed
  kSwapFailed,      // the swap failed and was rolled back: nothing changed
};

struct PackageExtractionOutcome {
  ApplyStatus status = ApplyStatus::kNoPackage;
  ExtractionResult extraction;
  SwapResult swap;
  bool updater_started = false;  // only ever with wait_and_restart
};

struct ApplyOptions {
  // Extract mode: wait (at most `parent_deadline_ms`) for the updater that
  // started this copy to end, so that its files can be replaced, and start
  // the unpacked updater after a complete apply.
  bool wait_and_restart = false;
  DWORD parent_deadline_ms = 0;
  // Test builds only: called at "staged" (the package is unpacked, nothing
  // installed yet) and at the swap's points (velko/staged_swap.h).
  SwapPointHook points;
};

// Repairs what an interrupted earlier apply left (RecoverInterruptedSwap),
// unpacks the package into the staging folder beside `target_folder` and
// swaps it in. Whatever fails, the installation keeps its old files.
PackageExtractionOutcome ApplyPackage(const std::wstring& package_path,
                                      const std::wstring& target_folder, const ApplyOptions& options);

inline PackageExtractionOutcome ExtractPackage(const std::wstring& package_path,
                                               const std::wstring& target_folder,
                                               bool wait_and_restart, DWORD wait_ms) {
  return ApplyPackage(package_path, target_folder, ApplyOptions{wait_and_restart, wait_ms, nullptr});
}

// Finishes an interrupted apply of `target_folder` unless an apply runs now.
RecoveryOutcome RecoverInterruptedApply(const std::wstring& target_folder);

// Waits until the process that started this one has ended, at most
// `deadline_ms`. True when it has ended (or cannot be found any more).
bool WaitForParentToEnd(DWORD deadline_ms);

// Starts "<folder>\updater.exe" with no arguments; the handles are closed
// (nothing waits for it). True when the process started.
bool StartInstalledUpdater(const std::wstring& target_folder);

const char* ApplyStatusText(ApplyStatus status);

}  // namespace velko::updater
