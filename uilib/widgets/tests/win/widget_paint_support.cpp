#include "widget_paint_support.h"

#include <cstdio>
#include <cstdlib>

namespace uilib::testing {

std::unique_ptr<Gdiplus::Bitmap> RenderElement(CUILibElement* element, int width, int height) {
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(bitmap.get());
  graphics.Clear(Gdiplus::Color(0x00000000));
  element->Paint(&graphics, element->Rect());
  return bitmap;
}

Gdiplus::ARGB PixelAt(Gdiplus::Bitmap& bitmap, int x, int y) {
  Gdiplus::Color c;
  bitmap.GetPixel(x, y, &c);
  return c.GetValue();
}

std::unique_ptr<Gdiplus::Bitmap> InstallerImage(const wchar_t* file_name) {
  std::wstring path = std::wstring(L"" VELKO_INSTALLER_IMAGES) + L"/" + file_name;
  return std::make_unique<Gdiplus::Bitmap>(path.c_str());
}

namespace {

long PixelDifference(Gdiplus::ARGB a, Gdiplus::ARGB b) {
  const int alpha_a = static_cast<int>(a >> 24), alpha_b = static_cast<int>(b >> 24);
  long diff = std::abs(alpha_a - alpha_b);
  if (alpha_a == 0 || alpha_b == 0) return diff;
  for (int shift : {16, 8, 0}) {
    diff += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
  }
  return diff;
}

}  // namespace

long FrameDifference(Gdiplus::Bitmap& rendered, const RectF& dest, Gdiplus::Bitmap& image, int frame_x) {
  long total = 0;
  for (int y = 0; y < static_cast<int>(dest.h); ++y) {
    for (int x = 0; x < static_cast<int>(dest.w); ++x) {
      total += PixelDifference(PixelAt(rendered, static_cast<int>(dest.x) + x, static_cast<int>(dest.y) + y),
                               PixelAt(image, frame_x + x, y));
    }
  }
  return total;
}

int MatchingFrame(Gdiplus::Bitmap& rendered, const RectF& dest, Gdiplus::Bitmap& image, int frame_width) {
  // Premultiplied blending may move a channel of a translucent pixel by one.
  const long tolerance = static_cast<long>(dest.w * dest.h) * 2;
  int best = -1;
  long best_difference = tolerance + 1;
  for (int frame = 0; (frame + 1) * frame_width <= static_cast<int>(image.GetWidth()); ++frame) {
    const long difference = FrameDifference(rendered, dest, image, frame * frame_width);
    if (difference < best_difference) {
      best = frame;
      best_difference = difference;
    }
  }
  return best;
}

namespace {

int CountOpaque(Gdiplus::Bitmap& bitmap, const RectF& area, bool inside) {
  int count = 0;
  for (int y = 0; y < static_cast<int>(bitmap.GetHeight()); ++y) {
    for (int x = 0; x < static_cast<int>(bitmap.GetWidth()); ++x) {
      const bool in = x >= area.x && x < area.x + area.w && y >= area.y && y < area.y + area.h;
      if (in == inside && (PixelAt(bitmap, x, y) >> 24) != 0) ++count;
    }
  }
  return count;
}

}  // namespace

int OpaquePixelsIn(Gdiplus::Bitmap& bitmap, const RectF& area) { return CountOpaque(bitmap, area, true); }
int OpaquePixelsOutside(Gdiplus::Bitmap& bitmap, const RectF& area) { return CountOpaque(bitmap, area, false); }

std::string HandleRef(Gdiplus::Image* image) {
  char text[64];
  std::snprintf(text, sizeof text, "handle::%p", static_cast<void*>(image));
  return text;
}

}  // namespace uilib::testing
