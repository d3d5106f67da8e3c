// Stand-in for a running browser in tests: started under the name chrome.exe,
// it signals the named event given as its argument (so the test knows its
// modules are loaded) and then waits to be terminated. It ends by itself
// after a minute, so a test that dies early leaves nothing running.
#include <windows.h>

namespace {
constexpr DWORD kLifetimeMs = 60 * 1000;
}

int main(int argc, char** argv) {
  if (argc > 1) {
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
    if (ready != nullptr) {
      SetEvent(ready);
      CloseHandle(ready);
    }
  }
  Sleep(kLifetimeMs);
  return 0;
}
