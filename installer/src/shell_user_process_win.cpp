// Starting the browser as the desktop user although the installer runs
// elevated: the token of the shell's process (owner of the taskbar) is
// duplicated and handed to CreateProcessWithTokenW.
#include "velko/installer/process_control.h"

#include <mutex>

namespace velko::installer {
namespace {

using CreateProcessWithTokenWFn = BOOL(WINAPI*)(HANDLE, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR,
                                                LPSTARTUPINFOW, LPPROCESS_INFORMATION);

// Looked up once by name; advapi32 stays loaded for the life of the process.
CreateProcessWithTokenWFn LookUpCreateProcessWithToken() {
  static CreateProcessWithTokenWFn function = nullptr;
  static std::once_flag once;
  std::call_once(once, [] {
    if (HMODULE advapi32 = LoadLibraryW(L"ADVAPI32.dll")) {
      function = reinterpret_cast<CreateProcessWithTokenWFn>(
          reinterpret_cast<void*>(GetProcAddress(advapi32, "CreateProcessWithTokenW")));
    }
  });
  return function;
}

HANDLE OpenProcessTokenForDuplication(DWORD process_id) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process_id);
  if (process == nullptr) return nullptr;
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_DUPLICATE, &token)) token = nullptr;
  CloseHandle(process);
  return token;
}

}  // namespace

HANDLE GetShellUserToken() {
  HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
  if (tray == nullptr) return nullptr;
  DWORD process_id = 0;
  GetWindowThreadProcessId(tray, &process_id);
  if (process_id == 0) return nullptr;
  HANDLE token = OpenProcessTokenForDuplication(process_id);
  if (token == nullptr) return nullptr;
  HANDLE primary = nullptr;
  if (!DuplicateTokenEx(token, TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation, TokenPrimary, &primary)) {
    primary = nullptr;
  }
  CloseHandle(token);
  return primary;
}

bool StartProcessAsShellUser(const std::wstring& application, const std::wstring& command_line) {
  HANDLE token = GetShellUserToken();
  if (token == nullptr) return false;
  const CreateProcessWithTokenWFn create = LookUpCreateProcessWithToken();
  if (create == nullptr) {
    CloseHandle(token);
    return false;
  }
  std::wstring writable_command_line = command_line;  // the call may modify it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const BOOL created = create(token, LOGON_WITH_PROFILE, application.c_str(), writable_command_line.data(),
                              NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process);
  if (created) {
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(token);
  return created != FALSE;
}

}  // namespace velko::installer
