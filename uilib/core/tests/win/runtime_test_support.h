// Shared by the tests of the library's start-up: UILibStartup once per test
// program (as a client does) and a message pump that runs the thread timers.
#pragma once

#include <windows.h>

#include <functional>

namespace uilib::test {

// Dispatches this thread's messages (thread timers included) until `done`
// returns true or `timeout_ms` passed. Returns the last value of `done`.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeout_ms) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(1);
  }
  return true;
}

}  // namespace uilib::test
