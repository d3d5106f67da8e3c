#include "velko/process_start.h"

#include <windows.h>

namespace velko {

bool StartDetachedWithNewConsole(const std::wstring& program, std::wstring command_line) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                        CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

}  // namespace velko
