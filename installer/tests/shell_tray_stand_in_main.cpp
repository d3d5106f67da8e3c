// A stand-in for the shell's taskbar in end-to-end tests: a hidden top-level
// window of class "Shell_TrayWnd", so that the installer finds a desktop user
// whose token it starts the browser with, even where no shell runs (Wine
// without a virtual desktop). Ends on WM_CLOSE (taskkill) or after ten minutes.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// The ten-minute lifetime: a test that forgets the stand-in does not leave it
// running for ever.
void CALLBACK EndOfLifetime(HWND window, UINT, UINT_PTR, DWORD) { DestroyWindow(window); }

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"Shell_TrayWnd";
  if (RegisterClassExW(&window_class) == 0) return 1;
  HWND window = CreateWindowExW(0, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance, nullptr);
  if (window == nullptr) return 1;
  SetTimer(window, 1, 10 * 60 * 1000, EndOfLifetime);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
