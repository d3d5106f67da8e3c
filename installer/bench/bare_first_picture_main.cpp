// Baseline of the first-picture benchmark: the least a program can do to put
// a skinned window's picture on the screen. It starts GDI+, creates a layered
// popup of the Welcome window's size centred on the work area, draws one
// frame with GDI+ (a light gradient and a line of text) into a 32-bit surface
// and pushes it with UpdateLayeredWindow. Like the benchmark installer it
// writes phase marks ("entry", "first frame pushed") to the file that
// VELKO_PHASE_TRACE names, then waits, showing the frame, until it is closed
// or ten seconds have passed:
//   bench_bare_first_picture.exe
// bench_bare_first_picture_imports.exe is the same program loading, besides,
// every library installer.exe imports.
#include <windows.h>
#include <objidl.h>  // before <gdiplus.h>, which needs it
#include <gdiplus.h>

#ifdef VELKO_BARE_WITH_INSTALLER_IMPORTS
#include <bcrypt.h>
#include <powrprof.h>
#include <shlobj.h>
#include <wincrypt.h>
#include <winsock2.h>
#endif

#include "phase_trace_sink_win.h"
#include "velko/installer/phase_trace.h"

namespace {

constexpr int kWidth = 608;
constexpr int kHeight = 322;
constexpr UINT_PTR kGiveUpTimer = 1;
constexpr UINT kGiveUpMs = 10000;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER || message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// One frame drawn with GDI+ straight onto the surface's premultiplied pixels.
void DrawFrame(void* pixels) {
  Gdiplus::Bitmap bitmap(kWidth, kHeight, kWidth * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(pixels));
  Gdiplus::Graphics graphics(&bitmap);
  Gdiplus::LinearGradientBrush background(Gdiplus::Point(0, 0), Gdiplus::Point(0, kHeight),
                                          Gdiplus::Color(255, 250, 252, 255), Gdiplus::Color(255, 226, 236, 248));
  graphics.FillRectangle(&background, 0, 0, kWidth, kHeight);
  Gdiplus::FontFamily family(L"Tahoma");
  Gdiplus::Font font(&family, 16.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  Gdiplus::SolidBrush ink(Gdiplus::Color(255, 40, 90, 200));
  graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  graphics.DrawString(L"Velko Browser", -1, &font, Gdiplus::PointF(20.0f, 12.0f), &ink);
}

#ifdef VELKO_BARE_WITH_INSTALLER_IMPORTS
// The variant that loads every library installer.exe imports (none is
// called): what Wine's loading of them adds to the start, apart from
// anything the installer does.
void* volatile g_installer_imports[] = {
    reinterpret_cast<void*>(&RegCloseKey),    reinterpret_cast<void*>(&BCryptGenRandom),
    reinterpret_cast<void*>(&CertOpenStore),
    reinterpret_cast<void*>(&CoInitialize),   reinterpret_cast<void*>(&SysFreeString),
    reinterpret_cast<void*>(&GetPwrCapabilities), reinterpret_cast<void*>(&SHChangeNotify),
    reinterpret_cast<void*>(&WSAStartup),
};
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  velko::installer::bench::StartPhaseTrace();
  velko::installer::MarkPhase("entry");
  Gdiplus::GdiplusStartupInput startup_input;
  ULONG_PTR gdiplus_token = 0;
  if (Gdiplus::GdiplusStartup(&gdiplus_token, &startup_input, nullptr) != Gdiplus::Ok) return 1;

  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"VelkoBareFirstPicture";
  RegisterClassW(&window_class);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  POINT origin{work.left + (work.right - work.left - kWidth) / 2, work.top + (work.bottom - work.top - kHeight) / 2};
  HWND window = CreateWindowExW(WS_EX_LAYERED, window_class.lpszClassName, L"bare first picture", WS_POPUP,
                                origin.x, origin.y, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;  // top-down, like GDI+'s rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP surface = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (surface == nullptr) return 1;
  HGDIOBJ previous = SelectObject(memory, surface);
  DrawFrame(pixels);

  SIZE size{kWidth, kHeight};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const BOOL pushed = UpdateLayeredWindow(window, screen, &origin, &size, memory, &source, 0, &blend, ULW_ALPHA);
  ShowWindow(window, SW_SHOW);
  velko::installer::MarkPhase(pushed ? "first frame pushed" : "first frame not pushed");

  SetTimer(window, kGiveUpTimer, kGiveUpMs, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);

  SelectObject(memory, previous);
  DeleteObject(surface);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  Gdiplus::GdiplusShutdown(gdiplus_token);
  return pushed ? 0 : 1;
}
