#include "uilib/win/layered_surface.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "uilib/element.h"

namespace uilib::win {

LayeredSurface::LayeredSurface(int width, int height) : width_(width), height_(height) {
  if (width <= 0 || height <= 0) return;
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (dc_ == nullptr) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
  if (bitmap_ == nullptr || bits_ == nullptr) return;
  previous_bitmap_ = SelectObject(dc_, bitmap_);
  graphics_target_ = std::make_unique<Gdiplus::Bitmap>(width, height, width * 4, PixelFormat32bppPARGB,
                                                       static_cast<BYTE*>(bits_));
  if (graphics_target_->GetLastStatus() != Gdiplus::Ok) graphics_target_.reset();
}

LayeredSurface::~LayeredSurface() {
  graphics_target_.reset();
  if (dc_ != nullptr) {
    if (previous_bitmap_ != nullptr) SelectObject(dc_, previous_bitmap_);
    DeleteDC(dc_);
  }
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

void LayeredSurface::Paint(CUILibElement* root, const RECT& update) {
  if (!Ok() || root == nullptr) return;
  Gdiplus::Graphics graphics(graphics_target_.get());
  const uilib::RectF clip{static_cast<float>(update.left), static_cast<float>(update.top),
                          static_cast<float>(update.right - update.left), static_cast<float>(update.bottom - update.top)};
  Gdiplus::SolidBrush black(Gdiplus::Color(0xFF000000));
  graphics.FillRectangle(&black, clip.x, clip.y, clip.w, clip.h);
  root->Paint(&graphics, clip);
  graphics.Flush(Gdiplus::FlushIntentionSync);
}

void LayeredSurface::DrawImage(Gdiplus::Image* image) {
  if (!Ok() || image == nullptr) return;
  Gdiplus::Graphics graphics(graphics_target_.get());
  graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
  graphics.DrawImage(image, 0, 0, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
  graphics.Flush(Gdiplus::FlushIntentionSync);
}

void LayeredSurface::DrawSurface(const LayeredSurface& other, int x, int y) {
  if (!Ok() || !other.Ok()) return;
  Gdiplus::Graphics graphics(graphics_target_.get());
  graphics.DrawImage(other.graphics_target_.get(), x, y, other.width_, other.height_);
  graphics.Flush(Gdiplus::FlushIntentionSync);
}

bool LayeredSurface::Push(HWND window, POINT destination, SIZE size, BYTE alpha) {
  if (!Ok()) return false;
  return PushPart(window, destination, size, alpha, RECT{});
}

bool LayeredSurface::PushPart(HWND window, POINT destination, SIZE size, BYTE alpha, const RECT& dirty) {
  if (!Ok()) return false;
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
  UPDATELAYEREDWINDOWINFO info{};
  info.cbSize = sizeof info;
  info.pptDst = &destination;
  info.psize = &size;
  info.hdcSrc = dc_;
  info.pptSrc = &source;
  info.pblend = &blend;
  info.dwFlags = ULW_ALPHA;
  RECT part{};
  const RECT whole{0, 0, size.cx, size.cy};
  const bool same_target = window == pushed_window_ && destination.x == pushed_at_.x &&
                           destination.y == pushed_at_.y && size.cx == pushed_size_.cx &&
                           size.cy == pushed_size_.cy && alpha == pushed_alpha_;
  if (same_target && IntersectRect(&part, &dirty, &whole)) info.prcDirty = &part;
  BOOL pushed = UpdateLayeredWindowIndirect(window, &info);
  if (pushed == FALSE && info.prcDirty != nullptr) {
    info.prcDirty = nullptr;
    pushed = UpdateLayeredWindowIndirect(window, &info);
  }
  if (pushed == FALSE) {
    pushed_window_ = nullptr;
    return false;
  }
  pushed_window_ = window;
  pushed_at_ = destination;
  pushed_size_ = size;
  pushed_alpha_ = alpha;
  ++pushes_;
  return true;
}

Gdiplus::ARGB LayeredSurface::PixelAt(int x, int y) const {
  if (!Ok() || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  std::uint32_t premultiplied = 0;
  std::memcpy(&premultiplied, static_cast<const BYTE*>(bits_) + (static_cast<size_t>(y) * width_ + x) * 4, 4);
  const unsigned a = premultiplied >> 24;
  if (a == 0) return 0;
  auto straight = [a](unsigned c) { return std::min(255u, (c * 255 + a / 2) / a); };
  return (a << 24) | (straight((premultiplied >> 16) & 0xFF) << 16) | (straight((premultiplied >> 8) & 0xFF) << 8) |
         straight(premultiplied & 0xFF);
}

bool LayeredSurface::SavePng(const std::wstring& path) const {
  CLSID png{};
  if (!Ok() || !FindPngEncoder(&png)) return false;
  Gdiplus::Bitmap straight(width_, height_, PixelFormat32bppARGB);
  Gdiplus::Rect all(0, 0, width_, height_);
  Gdiplus::BitmapData data{};
  if (straight.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return false;
  for (int y = 0; y < height_; ++y) {
    auto* row = reinterpret_cast<Gdiplus::ARGB*>(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride);
    for (int x = 0; x < width_; ++x) row[x] = PixelAt(x, y);
  }
  straight.UnlockBits(&data);
  return straight.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

bool FindPngEncoder(CLSID* clsid) {
  UINT count = 0;
  UINT bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<BYTE> buffer(bytes);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (std::wcscmp(encoders[i].MimeType, L"image/png") == 0) {
      *clsid = encoders[i].Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace uilib::win
