// Painting of skinned windows: the layered surface, the direct paint with an
// optional buffer, the render-thread path, the window region from the
// background, and fading.
#include <memory>

#include "uilib/win/image_region.h"
#include "uilib/win/layered_children.h"
#include "uilib/win/nine_grid_painter.h"
#include "uilib/win/skinned_window.h"
#include "uilib/win/style_graphics.h"
#include "uilib/win/uilib_runtime.h"

namespace uilib::win {
namespace {

RECT UnionOf(const RECT& a, const RECT& b) {
  if (IsRectEmpty(&a)) return b;
  if (IsRectEmpty(&b)) return a;
  RECT out{};
  UnionRect(&out, &a, &b);
  return out;
}

// Sends the thread's pending messages on once, as a fade does before it
// starts.
void PumpPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

void SkinnedWindow::CreateSurface(int width, int height) {
  surface_ = std::make_unique<LayeredSurface>(width, height);
  if (!surface_->Ok()) surface_.reset();
}

void SkinnedWindow::OnRepaintRequest(WPARAM wparam, LPARAM lparam) {
  const bool whole = wparam == 0 || wparam == 1;
  RECT rect{};
  if (whole) {
    GetClientRect(hwnd(), &rect);
  } else {
    rect = *reinterpret_cast<const RECT*>(wparam);
  }
  if (lparam == 1) {
    HDC dc = GetDC(hwnd());
    PaintIntoDc(dc, rect);
    ReleaseDC(hwnd(), dc);
    return;
  }
  InvalidateRect(hwnd(), whole ? nullptr : &rect, whole ? FALSE : TRUE);
  if (layered_) {
    // Layered windows repaint at once, so that the push follows the change;
    // while the client holds drawing, the rectangle waits for the release.
    pending_layered_ = UnionOf(pending_layered_, rect);
    if (!redraw_held_) SendMessage(WM_PAINT, 0, 0);
  }
}

bool SkinnedWindow::OnSetRedraw(bool allow) {
  // Ordinary windows keep the system's handling.
  if (!layered_) return false;
  // Every repaint of a layered window pushes its whole surface to the screen.
  // A client changing several elements at once holds drawing meanwhile; the
  // release paints what they asked for together and pushes once.
  redraw_held_ = !allow;
  if (allow && !IsRectEmpty(&pending_layered_)) SendMessage(WM_PAINT, 0, 0);
  return true;
}

void SkinnedWindow::OnPaint() {
  if (layered_) {
    RECT update{};
    GetUpdateRect(hwnd(), &update, FALSE);
    update = UnionOf(update, pending_layered_);
    pending_layered_ = RECT{};
    painted_part_ = update;
    PaintLayered(update);
    painted_part_ = RECT{};
    ValidateRect(hwnd(), nullptr);
  } else if (attributes_.use_render_thread && ActiveRuntime() != nullptr && ActiveRuntime()->render_thread) {
    RECT update{};
    GetUpdateRect(hwnd(), &update, FALSE);
    ValidateRect(hwnd(), nullptr);
    if (!IsRectEmpty(&update)) {
      ActiveRuntime()->render_thread->QueueRepaint(this, PixelRect{update.left, update.top, update.right, update.bottom});
    }
  } else {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd(), &paint);
    PaintIntoDc(dc, paint.rcPaint);
    EndPaint(hwnd(), &paint);
  }
  ReleaseUpdateLock();
  if (attributes_.alpha_shape && region_ == nullptr) PostMessage(kMsgRebuildRegion, 0, 0);
}

void SkinnedWindow::PaintLayered(RECT update) {
  if (!surface_) return;
  if (!IsRectEmpty(&update)) {
    surface_->Paint(this, update);
    PrintChildWindows(hwnd(), surface_->Dc(), update);
  }
  PushLayered(255);
}

void SkinnedWindow::PushLayered(BYTE alpha) {
  if (!surface_) return;
  const RectF& r = Rect();
  POINT destination{window_rect_.left + TruncToInt(r.x), window_rect_.top + TruncToInt(r.y)};
  SIZE size{TruncToInt(r.w), TruncToInt(r.h)};
  if (size.cx <= 0 || size.cy <= 0) size = SIZE{surface_->Width(), surface_->Height()};
  // Only what a paint changed goes to the screen again; other pushes (alpha
  // ramps, shows) push everything.
  surface_->PushPart(hwnd(), destination, size, alpha, painted_part_);
}

void SkinnedWindow::PaintDirect(const PixelRect& rect) {
  HWND window = hwnd();
  if (window == nullptr) return;
  HDC dc = GetDC(window);
  PaintIntoDc(dc, RECT{rect.left, rect.top, rect.right, rect.bottom});
  ReleaseDC(window, dc);
}

void SkinnedWindow::PaintIntoDc(HDC dc, const RECT& rect) {
  if (dc == nullptr || IsRectEmpty(&rect)) return;
  const RectF clip{static_cast<float>(rect.left), static_cast<float>(rect.top),
                   static_cast<float>(rect.right - rect.left), static_cast<float>(rect.bottom - rect.top)};
  Gdiplus::Graphics screen(dc);
  if (!attributes_.buffered_paint) {
    Paint(&screen, clip);
    return;
  }
  Gdiplus::Bitmap buffer(rect.right - rect.left, rect.bottom - rect.top, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics graphics(&buffer);
    graphics.TranslateTransform(static_cast<float>(-rect.left), static_cast<float>(-rect.top));
    Paint(&graphics, clip);
  }
  Gdiplus::CachedBitmap cached(&buffer, &screen);
  screen.DrawCachedBitmap(&cached, rect.left, rect.top);
}

void SkinnedWindow::RebuildRegion() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  if (IsRectEmpty(&client)) return;
  const StyleGraphics* graphics = Style().Graphics();
  Gdiplus::Image* image = graphics != nullptr ? graphics->background_image.get() : nullptr;
  if (image == nullptr) return;
  Gdiplus::Bitmap background(client.right, client.bottom, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&background);
    const StyleValues& v = Style().Values();
    const RectF whole{0.0f, 0.0f, static_cast<float>(client.right), static_cast<float>(client.bottom)};
    if (v.background_paint.present) {
      const auto& s = v.background_paint.slices;
      PaintNineGrid(&g, image, std::nullopt, NineGridSlices{s[0], s[1], s[2], s[3]}, whole, v.background_paint.mode);
    } else {
      Gdiplus::TextureBrush brush(image);
      g.FillRectangle(&brush, 0, 0, client.right, client.bottom);
    }
  }
  HRGN region = RegionFromImage(&background);
  if (region == nullptr) return;
  if (region_ != nullptr) DeleteObject(region_);
  region_ = region;
  ApplyRegionCopy();
}

void SkinnedWindow::ApplyRegionCopy() {
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(copy, region_, nullptr, RGN_COPY);
  SetWindowRgn(hwnd(), copy, TRUE);
}

void SkinnedWindow::ReleaseUpdateLock() {
  if (!updates_locked_) return;
  LockWindowUpdate(nullptr);
  updates_locked_ = false;
}

void SkinnedWindow::RampAlpha(std::uint32_t duration_ms, bool fade_in) {
  const DWORD start = GetTickCount();
  DWORD last_tick = start - 1;
  BYTE alpha = fade_in ? 0 : 255;
  bool shown = !fade_in;
  const auto apply = [this](BYTE value) {
    if (layered_) {
      PushLayered(value);
    } else {
      SetLayeredWindowAttributes(hwnd(), 0, value, LWA_ALPHA);
    }
  };
  PumpPendingMessages();
  for (;;) {
    const DWORD now = GetTickCount();
    const DWORD elapsed = now - start;
    if (elapsed >= duration_ms) break;
    if (now == last_tick) {
      Sleep(1);
      continue;
    }
    last_tick = now;
    const float part = static_cast<float>(elapsed) / static_cast<float>(duration_ms);
    alpha = static_cast<BYTE>((fade_in ? part : 1.0f - part) * 255.0f);
    apply(alpha);
    if (!shown) {
      ShowWindow(hwnd(), SW_SHOW);
      shown = true;
    }
  }
  const BYTE final_alpha = fade_in ? 255 : 0;
  if (alpha != final_alpha || !shown) {
    apply(final_alpha);
    if (!shown) ShowWindow(hwnd(), SW_SHOW);
  }
}

void SkinnedWindow::FadeIn(std::uint32_t duration_ms) {
  if (hwnd() == nullptr || IsWindowVisible(hwnd())) return;
  if (layered_) {
    RampAlpha(duration_ms, true);
    return;
  }
  const LONG_PTR ex_style = GetWindowLongPtrW(hwnd(), GWL_EXSTYLE);
  SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, ex_style | WS_EX_LAYERED);
  SetLayeredWindowAttributes(hwnd(), 0, 0, LWA_ALPHA);
  ShowWindow(hwnd(), SW_SHOW);
  SendMessage(kMsgRepaint, 0, 0);
  RampAlpha(duration_ms, true);
  SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, ex_style);
}

void SkinnedWindow::FadeOut(std::uint32_t duration_ms) {
  if (hwnd() == nullptr || !IsWindowVisible(hwnd())) return;
  const LONG_PTR ex_style = GetWindowLongPtrW(hwnd(), GWL_EXSTYLE);
  if (!layered_) {
    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, ex_style | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd(), 0, 255, LWA_ALPHA);
  }
  RampAlpha(duration_ms, false);
  ShowWindow(hwnd(), SW_HIDE);
  if (layered_) {
    PushLayered(255);  // visible content again for a later Show
  } else {
    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, ex_style);
  }
}

void SkinnedWindow::Hide() {
  if (hwnd() != nullptr) ShowWindow(hwnd(), SW_HIDE);
}

void SkinnedWindow::Show() {
  if (hwnd() != nullptr) ShowWindow(hwnd(), SW_SHOW);
}

}  // namespace uilib::win
