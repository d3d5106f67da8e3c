#include "package_apply.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <atomic>
#include <cwchar>

#include "self_copy_command_line.h"
#include "velko/path_text.h"
#include "velko/process_start.h"

namespace velko::updater {
namespace {

constexpr DWORD kFolderBufferChars = 1000;
constexpr DWORD kApplyLockWaitMs = 30000;

bool CreationTime(HANDLE process, ULARGE_INTEGER& created) {
  FILETIME creation, exit, kernel, user;
  if (!::GetProcessTimes(process, &creation, &exit, &kernel, &user)) return false;
  created.LowPart = creation.dwLowDateTime;
  created.HighPart = creation.dwHighDateTime;
  return true;
}

DWORD ParentProcessId() {
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  const DWORD self = ::GetCurrentProcessId();
  DWORD parent = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == self) {
      parent = entry.th32ParentProcessID;
      break;
    }
  }
  ::CloseHandle(snapshot);
  return parent;
}

// The process that started this one, or null when it has ended. Its id may
// have been given to a newer process since: one created after this process
// cannot be its parent.
HANDLE OpenParentProcess() {
  const DWORD parent_id = ParentProcessId();
  if (parent_id == 0) return nullptr;
  HANDLE parent = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, parent_id);
  if (parent == nullptr) return nullptr;
  ULARGE_INTEGER parent_created{}, own_created{};
  if (CreationTime(parent, parent_created) && CreationTime(::GetCurrentProcess(), own_created) &&
      parent_created.QuadPart > own_created.QuadPart) {
    ::CloseHandle(parent);
    return nullptr;
  }
  return parent;
}

void Notify(const ApplyOptions& options, const char* point) {
  if (options.points) options.points(point);
}

ApplyStatus StatusOfSwap(SwapStatus status) {
  switch (status) {
    case SwapStatus::kSwapped: return ApplyStatus::kApplied;
    case SwapStatus::kInUse: return ApplyStatus::kFilesInUse;
    case SwapStatus::kFailed: return ApplyStatus::kSwapFailed;
  }
  return ApplyStatus::kSwapFailed;
}

}  // namespace

std::optional<std::wstring> ApplyTargetFolder() {
  std::wstring program_files(kFolderBufferChars, L'\0');
  if (!::SHGetSpecialFolderPathW(nullptr, program_files.data(), CSIDL_PROGRAM_FILES, FALSE)) {
    return std::nullopt;
  }
  program_files.resize(wcsnlen(program_files.c_str(), program_files.size()));
  if (program_files.empty()) return std::nullopt;
  return JoinPath<wchar_t>(program_files, kInstallFolderName);
}

bool WaitForParentToEnd(DWORD deadline_ms) {
  HANDLE parent = OpenParentProcess();
  if (parent == nullptr) return true;
  const bool ended = ::WaitForSingleObject(parent, deadline_ms) == WAIT_OBJECT_0;
  ::CloseHandle(parent);
  return ended;
}

PackageExtractionOutcome ApplyPackage(const std::wstring& package_path, const std::wstring& target_folder,
                                      const ApplyOptions& options) {
  PackageExtractionOutcome outcome;
  // An empty path would make the library open nothing useful; say so plainly.
  if (package_path.empty() || target_folder.empty()) return outcome;
  SwapLock lock(kApplyLockWaitMs);
  if (!lock.held()) {
    outcome.status = ApplyStatus::kBusy;
    return outcome;
  }
  // An earlier apply that cannot be undone yet (a file of it in use) must
  // not have its journal overwritten by this one.
  if (RecoverInterruptedSwap(target_folder) == RecoveryOutcome::kFailed) {
    outcome.status = ApplyStatus::kSwapFailed;
    return outcome;
  }
  const std::wstring staging = StagingFolderFor(target_folder);
  ExtractionHooks hooks;
  if (options.wait_and_restart) {
    // The updater that started this copy ends right after starting it; once
    // it has, its files (updater.exe among them) can be replaced. Should it
    // still run at the deadline, the swap finds its files in use and keeps
    // the old version.
    const DWORD deadline_ms = options.parent_deadline_ms;
    hooks.between_passes = [deadline_ms] { WaitForParentToEnd(deadline_ms); };
  }
  const std::atomic<bool> never_stop{false};
  outcome.extraction = ExtractArchiveToFolder(package_path, staging, hooks, never_stop);
  if (outcome.extraction.status != ExtractionStatus::kFinished) {
    RemoveFolderTree(staging);
    outcome.status = ApplyStatus::kNotExtracted;
    return outcome;
  }
  Notify(options, "staged");
  outcome.swap = SwapStagedFiles(target_folder, options.points);
  outcome.status = StatusOfSwap(outcome.swap.status);
  if (options.wait_and_restart && outcome.status == ApplyStatus::kApplied) {
    outcome.updater_started = StartInstalledUpdater(target_folder);
  }
  return outcome;
}

RecoveryOutcome RecoverInterruptedApply(const std::wstring& target_folder) {
  SwapLock lock(0);
  if (!lock.held()) return RecoveryOutcome::kNothingToDo;  // the running apply finishes it
  return RecoverInterruptedSwap(target_folder);
}

bool StartInstalledUpdater(const std::wstring& target_folder) {
  const std::wstring program = JoinPath<wchar_t>(target_folder, kInstalledUpdaterName);
  return StartDetachedWithNewConsole(program, QuotedProgramCommandLine(program));
}

const char* ApplyStatusText(ApplyStatus status) {
  switch (status) {
    case ApplyStatus::kApplied: return "applied";
    case ApplyStatus::kNoPackage: return "no package";
    case ApplyStatus::kBusy: return "another apply runs";
    case ApplyStatus::kNotExtracted: return "package not unpacked";
    case ApplyStatus::kFilesInUse: return "files in use";
    case ApplyStatus::kSwapFailed: return "swap failed";
  }
  return "unknown";
}

}  // namespace velko::updater
