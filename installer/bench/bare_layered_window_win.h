// The least a program needs for a skinned window: a layered popup of the
// installer's window size, centred on the work area, with a 32-bit surface
// that GDI+ draws on and UpdateLayeredWindow pushes to the screen. The bare
// baselines of the benchmarks build on it.
#pragma once

#include <windows.h>
#include <objidl.h>  // before <gdiplus.h>, which needs it
#include <gdiplus.h>

#include <functional>

namespace velko::installer::bench {

class BareLayeredWindow {
 public:
  static constexpr int kWidth = 608;
  static constexpr int kHeight = 322;

  BareLayeredWindow() = default;
  BareLayeredWindow(const BareLayeredWindow&) = delete;
  BareLayeredWindow& operator=(const BareLayeredWindow&) = delete;
  ~BareLayeredWindow();

  // Registers `class_name` with `procedure` and creates the hidden window.
  bool Create(HINSTANCE instance, WNDPROC procedure, const wchar_t* class_name);
  // Draws a frame onto the surface with GDI+ and pushes it; shows the window
  // after its first push.
  bool Push(const std::function<void(Gdiplus::Graphics&)>& draw);
  HWND window() const { return window_; }

 private:
  HWND window_ = nullptr;
  POINT origin_{};
  HDC screen_ = nullptr;
  HDC memory_ = nullptr;
  HBITMAP surface_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  void* pixels_ = nullptr;
  bool shown_ = false;
};

// A light gradient filling the whole frame, as the skins' backgrounds.
void DrawBareBackground(Gdiplus::Graphics& graphics);

}  // namespace velko::installer::bench
