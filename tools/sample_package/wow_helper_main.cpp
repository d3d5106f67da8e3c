// wow_helper.exe of the sample package: present because the browser's
// package carries it; it has nothing to do and exits at once.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
