// Painting of the element base: background (colour, texture or nine-grid
// image), border, children (inside the scroll state of a scrolling element)
// and the overlay.
#include <algorithm>

#include "uilib/element.h"
#include "uilib/win/gdiplus_include.h"
#include "uilib/win/nine_grid_painter.h"
#include "uilib/win/style_graphics.h"

namespace {

constexpr float kScrollBarStrip = 17.0f;

// The library's default brush: transparent white.
Gdiplus::Brush* DefaultBrush() {
  static Gdiplus::SolidBrush* brush = new Gdiplus::SolidBrush(Gdiplus::Color(0x00FFFFFF));
  return brush;
}

uilib::RectF Intersect(const uilib::RectF& a, const uilib::RectF& b) {
  const float left = std::max(a.x, b.x);
  const float top = std::max(a.y, b.y);
  const float right = std::min(a.x + a.w, b.x + b.w);
  const float bottom = std::min(a.y + a.h, b.y + b.h);
  return uilib::RectF{left, top, std::max(0.0f, right - left), std::max(0.0f, bottom - top)};
}

Gdiplus::RectF ToGdiplus(const uilib::RectF& r) { return Gdiplus::RectF(r.x, r.y, r.w, r.h); }

bool IsWhole(float value) { return value == static_cast<float>(static_cast<int>(value)); }

// At most this many pieces are copied; a smaller pattern is left to the brush.
constexpr int kMaxCopiedTiles = 16;

// Draws `image` tiled from `origin` over `visible` as plain copies of the
// tiles' parts when everything lies at whole pixels: the pixels a texture
// brush fills, but without its per-pixel path, which costs a whole-window
// background over 100 ms under Wine. False when that does not apply (the
// caller fills with the brush; nothing was drawn).
bool CopyTiles(Gdiplus::Graphics* graphics, Gdiplus::Image* image, const uilib::RectF& origin,
               const uilib::RectF& visible) {
  const int tile_w = static_cast<int>(image->GetWidth());
  const int tile_h = static_cast<int>(image->GetHeight());
  if (tile_w <= 0 || tile_h <= 0) return false;
  for (float value : {visible.x, visible.y, visible.w, visible.h, origin.x, origin.y}) {
    if (!IsWhole(value)) return false;
  }
  const int left = static_cast<int>(visible.x - origin.x), top = static_cast<int>(visible.y - origin.y);
  if (left < 0 || top < 0) return false;
  const int right = left + static_cast<int>(visible.w), bottom = top + static_cast<int>(visible.h);
  const int columns = (right - 1) / tile_w - left / tile_w + 1, rows = (bottom - 1) / tile_h - top / tile_h + 1;
  if (columns * rows > kMaxCopiedTiles) return false;
  // One source pixel to one target pixel, never blended with a neighbour.
  const Gdiplus::InterpolationMode interpolation = graphics->GetInterpolationMode();
  const Gdiplus::PixelOffsetMode offset = graphics->GetPixelOffsetMode();
  graphics->SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  graphics->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  for (int y = top; y < bottom; y = (y / tile_h + 1) * tile_h) {
    const int h = std::min(bottom, (y / tile_h + 1) * tile_h) - y;
    for (int x = left; x < right; x = (x / tile_w + 1) * tile_w) {
      const int w = std::min(right, (x / tile_w + 1) * tile_w) - x;
      const Gdiplus::RectF to(origin.x + static_cast<float>(x), origin.y + static_cast<float>(y),
                              static_cast<float>(w), static_cast<float>(h));
      graphics->DrawImage(image, to, static_cast<float>(x % tile_w), static_cast<float>(y % tile_h),
                          static_cast<float>(w), static_cast<float>(h), Gdiplus::UnitPixel);
    }
  }
  graphics->SetInterpolationMode(interpolation);
  graphics->SetPixelOffsetMode(offset);
  return true;
}

}  // namespace

void CUILibElement::Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  if (graphics == nullptr || uilib::IsEmptyExtent(rect_.w) || uilib::IsEmptyExtent(rect_.h)) return;
  PaintBackground(graphics, clip);
  PaintChildren(graphics, clip);
  if (overlay_) overlay_->Paint(graphics, clip);
}

void CUILibElement::PaintBackground(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  const uilib::RectF visible = Intersect(rect_, clip);
  if (uilib::IsEmptyExtent(visible.w) || uilib::IsEmptyExtent(visible.h)) return;
  const uilib::StyleGraphics* g = style_.Graphics();
  const uilib::StyleValues& v = style_.Values();
  Gdiplus::Image* image = g != nullptr ? g->background_image.get() : nullptr;
  Gdiplus::GraphicsState state = graphics->Save();
  graphics->SetClip(ToGdiplus(visible), Gdiplus::CombineModeIntersect);
  if (image == nullptr) {
    Gdiplus::Brush* brush = g != nullptr && g->background_brush ? g->background_brush.get() : DefaultBrush();
    graphics->FillRectangle(brush, ToGdiplus(visible));
  } else if (v.background_paint.present) {
    const auto& s = v.background_paint.slices;
    uilib::win::PaintNineGrid(graphics, image, std::nullopt, uilib::NineGridSlices{s[0], s[1], s[2], s[3]}, rect_,
                              v.background_paint.mode);
  } else if (!CopyTiles(graphics, image, rect_, visible)) {
    // The image is tiled from the element's corner.
    Gdiplus::TextureBrush brush(image);
    brush.TranslateTransform(rect_.x, rect_.y);
    graphics->FillRectangle(&brush, ToGdiplus(visible));
  }
  if (g != nullptr && g->border_pen) {
    graphics->DrawRectangle(g->border_pen.get(), rect_.x, rect_.y, rect_.w - 1.0f, rect_.h - 1.0f);
  }
  graphics->Restore(state);
}

void CUILibElement::PaintChildren(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  if (!native_scroll_bar_ && !has_linked_scroll_bar_) {
    for (CUILibElement* child = children_.First(); child != nullptr; child = children_.Next(child)) {
      child->Paint(graphics, clip);
    }
    return;
  }
  const float border = style_.Values().border.width;
  const float position = static_cast<float>(ScrollPosition());
  float width = rect_.w;
  if (native_scroll_bar_) {
    const uilib::BoxEdges& pad = style_.Values().padding;
    width -= std::min(rect_.w - pad.left - pad.right, kScrollBarStrip);
  }
  Gdiplus::GraphicsState state = graphics->Save();
  graphics->SetClip(Gdiplus::RectF(rect_.x, rect_.y + border, width, rect_.h - border), Gdiplus::CombineModeIntersect);
  graphics->TranslateTransform(0.0f, -position);
  uilib::RectF child_clip = Intersect(visible_rect_, clip);
  child_clip.y += position;
  for (CUILibElement* child = children_.First(); child != nullptr; child = children_.Next(child)) {
    child->Paint(graphics, child_clip);
  }
  graphics->Restore(state);
}
