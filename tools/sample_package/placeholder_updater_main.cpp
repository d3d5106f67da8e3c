// Updater.exe of the sample package when the tree's own updater is not part
// of the build: exits at once with success, as the real updater does after
// registering its task.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
