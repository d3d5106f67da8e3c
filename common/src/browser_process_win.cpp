#include <windows.h>
#include <tlhelp32.h>

#include "velko/file_utils.h"
#include "velko/path_text.h"
#include "scoped_handle_win.h"

namespace velko {
namespace {

// A module snapshot of a process that is starting or ending can fail with
// ERROR_BAD_LENGTH; the documented remedy is to take it again.
constexpr int kModuleSnapshotAttempts = 3;

HANDLE TakeModuleSnapshot(DWORD process_id) {
  for (int attempt = 0; attempt < kModuleSnapshotAttempts; ++attempt) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process_id);
    if (snapshot != INVALID_HANDLE_VALUE || GetLastError() != ERROR_BAD_LENGTH) return snapshot;
  }
  return INVALID_HANDLE_VALUE;
}

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  if (a.empty()) return true;
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// True when the first module (the executable) of the process is `exe_path`.
bool ProcessRunsExecutable(DWORD process_id, std::wstring_view exe_path) {
  ScopedHandle modules(TakeModuleSnapshot(process_id));
  if (!modules.valid()) return false;
  MODULEENTRY32W module;
  module.dwSize = sizeof module;
  if (!Module32FirstW(modules.get(), &module)) return false;
  return EqualIgnoringCase(module.szExePath, exe_path);
}

}  // namespace

bool IsBrowserRunning(std::wstring_view install_folder) {
  if (install_folder.empty()) return false;
  constexpr std::wstring_view kBrowserFile = L"chrome.exe";
  const std::wstring exe_path = JoinPath<wchar_t>(install_folder, kBrowserFile);
  ScopedHandle processes(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!processes.valid()) return false;
  PROCESSENTRY32W process;
  process.dwSize = sizeof process;
  for (BOOL more = Process32FirstW(processes.get(), &process); more;
       more = Process32NextW(processes.get(), &process)) {
    if (process.th32ProcessID == 0) continue;  // the idle process has no modules
    // Only a process whose executable is named like the browser's can run
    // it; the module snapshot that tells its folder is costly (under Wine a
    // millisecond or more per process), so the other processes are skipped.
    if (!EqualIgnoringCase(process.szExeFile, kBrowserFile)) continue;
    if (ProcessRunsExecutable(process.th32ProcessID, exe_path)) return true;
  }
  return false;
}

}  // namespace velko
