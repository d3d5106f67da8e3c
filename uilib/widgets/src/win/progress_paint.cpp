// Drawing of the windowless progress kinds: the bar reveals its colour or
// texture from the left; the circle strokes a textured arc clockwise from
// twelve o'clock.
#include "uilib/widgets/progress.h"
#include "uilib/widgets/progress_geometry.h"
#include "uilib/widgets/rect_ops.h"
#include "uilib/widgets/win/texture_image_win.h"
#include "uilib/win/nine_grid_painter.h"

namespace {

constexpr float kCirclePenWidth = 13.0f;

}  // namespace

void CUILibVirtualProgressBase::PaintBar(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  const uilib::RectF bar = uilib::ProgressBarRect(Rect(), progress_);
  const uilib::RectF shown = uilib::IntersectRects(bar, clip);
  Gdiplus::Image* image = uilib::ImageOf(image_);
  if (image == nullptr) {
    Gdiplus::SolidBrush brush{Gdiplus::Color(colour_)};
    graphics->FillRectangle(&brush, shown.x, shown.y, shown.w, shown.h);
  } else if (texture_margin_.present) {
    const auto& s = texture_margin_.slices;
    uilib::win::PaintNineGrid(graphics, image, std::nullopt, uilib::NineGridSlices{s[0], s[1], s[2], s[3]}, bar,
                              texture_margin_.mode);
  } else {
    // The texture repeats from the element's corner and is revealed from the left.
    Gdiplus::TextureBrush brush(image, Gdiplus::WrapModeTile);
    brush.TranslateTransform(Rect().x, Rect().y);
    graphics->FillRectangle(&brush, shown.x, shown.y, shown.w, shown.h);
  }
}

void CUILibVirtualProcessBar::Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  if (graphics == nullptr) return;
  PaintBackground(graphics, clip);
  if (BarVisible(clip)) PaintBar(graphics, clip);
  PaintChildren(graphics, clip);
  if (Overlay() != nullptr) Overlay()->Paint(graphics, clip);
}

void CUILibVirtualCircleProcess::Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  if (graphics == nullptr) return;
  PaintBackground(graphics, clip);
  Gdiplus::Image* image = uilib::ImageOf(image_);
  if (BarVisible(clip)) {
    if (image == nullptr || texture_margin_.present) {
      PaintBar(graphics, clip);
    } else if (const size_t count = uilib::CirclePointCount(progress_); count > 0) {
      std::vector<Gdiplus::PointF> points(count);
      for (size_t i = 0; i < count; ++i) {
        const uilib::PointF p = uilib::CirclePoint(Rect(), i);
        points[i] = Gdiplus::PointF(p.x, p.y);
      }
      Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
      if (count < uilib::kFullCirclePoints) {
        path.AddCurve(points.data(), static_cast<INT>(count));
      } else {
        path.AddClosedCurve(points.data(), static_cast<INT>(count));
      }
      Gdiplus::TextureBrush brush(image, Gdiplus::WrapModeTile);
      brush.TranslateTransform(Rect().x, Rect().y);
      brush.SetWrapMode(Gdiplus::WrapModeClamp);
      Gdiplus::Pen pen(&brush, kCirclePenWidth);
      graphics->DrawPath(&pen, &path);
    }
  }
  PaintChildren(graphics, clip);
  if (Overlay() != nullptr) Overlay()->Paint(graphics, clip);
}
