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

#ifdef VELKO_BARE_WITH_INSTALLER_IMPORTS
#include <bcrypt.h>
#include <powrprof.h>
#include <shlobj.h>
#include <wincrypt.h>
#include <winsock2.h>
#endif

#include "bare_layered_window_win.h"
#include "phase_trace_sink_win.h"
#include "velko/installer/phase_trace.h"

namespace {

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

// One frame: the background and a line of text.
void DrawFrame(Gdiplus::Graphics& graphics) {
  velko::installer::bench::DrawBareBackground(graphics);
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
  bool pushed = false;
  {
    velko::installer::bench::BareLayeredWindow bare;
    if (!bare.Create(instance, WindowProc, L"VelkoBareFirstPicture")) return 1;
    pushed = bare.Push(DrawFrame);
    velko::installer::MarkPhase(pushed ? "first frame pushed" : "first frame not pushed");

    SetTimer(bare.window(), kGiveUpTimer, kGiveUpMs, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  }
  Gdiplus::GdiplusShutdown(gdiplus_token);
  return pushed ? 0 : 1;
}
