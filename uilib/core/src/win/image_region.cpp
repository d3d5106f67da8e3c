#include "uilib/win/image_region.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace uilib::win {
namespace {

// The image as a GDI+ bitmap: itself when it is one, else a 32-bit ARGB copy.
Gdiplus::Bitmap* AsBitmap(Gdiplus::Image* image, std::unique_ptr<Gdiplus::Bitmap>& copy) {
  if (auto* bitmap = dynamic_cast<Gdiplus::Bitmap*>(image)) return bitmap;
  copy = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()),
                                           PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(copy.get());
  graphics.DrawImage(image, 0, 0, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
  return copy.get();
}

// The first run of each row, as rectangles.
std::vector<RECT> FirstRunsPerRow(const Gdiplus::BitmapData& data) {
  std::vector<RECT> rects;
  const auto* base = static_cast<const BYTE*>(data.Scan0);
  for (UINT y = 0; y < data.Height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(base + static_cast<std::ptrdiff_t>(y) * data.Stride);
    UINT x = 0;
    while (x < data.Width && (row[x] >> 24) < kRegionAlphaThreshold) ++x;
    if (x == data.Width) continue;
    UINT end = x;
    while (end < data.Width && (row[end] >> 24) >= kRegionAlphaThreshold) ++end;
    rects.push_back(RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(end), static_cast<LONG>(y + 1)});
  }
  return rects;
}

HRGN RegionFromRects(const std::vector<RECT>& rects) {
  if (rects.empty()) return CreateRectRgn(0, 0, 0, 0);
  std::vector<BYTE> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  RECT bounds{rects[0].left, rects.front().top, rects[0].right, rects.back().bottom};
  for (const RECT& r : rects) {
    if (r.left < bounds.left) bounds.left = r.left;
    if (r.right > bounds.right) bounds.right = r.right;
  }
  data->rdh.rcBound = bounds;
  std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
  return ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data);
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

HRGN RegionFromImage(Gdiplus::Image* image) {
  if (image == nullptr || !Gdiplus::IsAlphaPixelFormat(image->GetPixelFormat())) return nullptr;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  std::unique_ptr<Gdiplus::Bitmap> copy;
  Gdiplus::Bitmap* bitmap = AsBitmap(image, copy);
  Gdiplus::Rect whole(0, 0, static_cast<INT>(bitmap->GetWidth()), static_cast<INT>(bitmap->GetHeight()));
  Gdiplus::BitmapData data{};
  if (bitmap->LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return nullptr;
  std::vector<RECT> rects = FirstRunsPerRow(data);
  bitmap->UnlockBits(&data);
  HRGN region = RegionFromRects(rects);
  QueryPerformanceCounter(&end);
  std::printf("%s[%d]:%s Use %.06f\n", "UILibTool", 161, "UILibTool::GetRGNFromImage", Seconds(start, end));
  std::fflush(stdout);
  return region;
}

}  // namespace uilib::win
