#include "bare_layered_window_win.h"

namespace velko::installer::bench {

BareLayeredWindow::~BareLayeredWindow() {
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
  if (memory_ != nullptr) {
    SelectObject(memory_, previous_);
    DeleteDC(memory_);
  }
  if (surface_ != nullptr) DeleteObject(surface_);
  if (screen_ != nullptr) ReleaseDC(nullptr, screen_);
}

bool BareLayeredWindow::Create(HINSTANCE instance, WNDPROC procedure, const wchar_t* class_name) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = class_name;
  RegisterClassW(&window_class);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  origin_ = {work.left + (work.right - work.left - kWidth) / 2, work.top + (work.bottom - work.top - kHeight) / 2};
  window_ = CreateWindowExW(WS_EX_LAYERED, class_name, class_name, WS_POPUP, origin_.x, origin_.y, kWidth, kHeight,
                            nullptr, nullptr, instance, nullptr);
  if (window_ == nullptr) return false;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;  // top-down, like GDI+'s rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  screen_ = GetDC(nullptr);
  memory_ = CreateCompatibleDC(screen_);
  surface_ = CreateDIBSection(screen_, &info, DIB_RGB_COLORS, &pixels_, nullptr, 0);
  if (surface_ == nullptr) return false;
  previous_ = SelectObject(memory_, surface_);
  return true;
}

bool BareLayeredWindow::Push(const std::function<void(Gdiplus::Graphics&)>& draw) {
  {
    // GDI+ straight onto the surface's premultiplied pixels.
    Gdiplus::Bitmap bitmap(kWidth, kHeight, kWidth * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(pixels_));
    Gdiplus::Graphics graphics(&bitmap);
    draw(graphics);
  }
  SIZE size{kWidth, kHeight};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const BOOL pushed = UpdateLayeredWindow(window_, screen_, &origin_, &size, memory_, &source, 0, &blend, ULW_ALPHA);
  if (!shown_) {
    ShowWindow(window_, SW_SHOW);
    shown_ = true;
  }
  return pushed != FALSE;
}

void DrawBareBackground(Gdiplus::Graphics& graphics) {
  const int width = BareLayeredWindow::kWidth;
  const int height = BareLayeredWindow::kHeight;
  Gdiplus::LinearGradientBrush background(Gdiplus::Point(0, 0), Gdiplus::Point(0, height),
                                          Gdiplus::Color(255, 250, 252, 255), Gdiplus::Color(255, 226, 236, 248));
  graphics.FillRectangle(&background, 0, 0, width, height);
}

}  // namespace velko::installer::bench
