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
  } else {
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
