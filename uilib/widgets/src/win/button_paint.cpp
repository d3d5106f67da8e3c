// The highlight button's look: a rounded rectangle with a light-blue outline
// and a translucent blue vertical gradient, drawn over the children.
#include "uilib/geometry.h"
#include "uilib/widgets/native_controls.h"
#include "uilib/widgets/rect_ops.h"
#include "uilib/win/gdiplus_include.h"

namespace {

constexpr int kCornerRadius = 3;

void DrawHighlight(Gdiplus::Graphics* graphics, const uilib::RectF& r) {
  const int x = uilib::TruncToInt(r.x);
  const int y = uilib::TruncToInt(r.y);
  const int w = uilib::TruncToInt(r.w - 1.0f);
  const int h = uilib::TruncToInt(r.h - 1.0f);
  const int d = kCornerRadius * 2;
  const Gdiplus::SmoothingMode saved = graphics->GetSmoothingMode();
  graphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  Gdiplus::GraphicsPath path;
  path.AddLine(x + kCornerRadius, y, x + w - kCornerRadius, y);
  path.AddArc(x + w - d, y, d, d, 270.0f, 90.0f);
  path.AddLine(x + w, y + kCornerRadius, x + w, y + h - kCornerRadius);
  path.AddArc(x + w - d, y + h - d, d, d, 0.0f, 90.0f);
  path.AddLine(x + w - kCornerRadius, y + h, x + kCornerRadius, y + h);
  path.AddArc(x, y + h - d, d, d, 90.0f, 90.0f);
  path.AddLine(x, y + h - kCornerRadius, x, y + kCornerRadius);
  path.AddArc(x, y, d, d, 180.0f, 90.0f);
  path.CloseFigure();
  Gdiplus::Pen outline(Gdiplus::Color(255, 185, 215, 252), 1.0f);
  graphics->DrawPath(&outline, &path);
  Gdiplus::LinearGradientBrush fill(Gdiplus::Point(x, y), Gdiplus::Point(x, y + h), Gdiplus::Color(40, 152, 198, 255),
                                    Gdiplus::Color(40, 66, 150, 255));
  graphics->FillPath(&fill, &path);
  graphics->SetSmoothingMode(saved);
}

}  // namespace

void CUILibButton::Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  CUILibElement::Paint(graphics, clip);
  if (graphics == nullptr) return;
  if (uilib::HasNoArea(uilib::IntersectRects(Rect(), clip))) return;
  if (IsSelected()) DrawHighlight(graphics, Rect());
  if (IsHovered()) DrawHighlight(graphics, Rect());
}
