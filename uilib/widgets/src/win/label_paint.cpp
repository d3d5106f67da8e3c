// Drawing of the label's text: as an anti-aliased path clipped to the element
// (`text-anti-ailas`), as the same path unclipped (`text-shadow`), or as a
// string clipped to the element. A label paints no children.
#include <tinyxml.h>

#include "uilib/widgets/label.h"
#include "uilib/widgets/rect_ops.h"
#include "uilib/widgets/win/text_drawing.h"

namespace {

// Fills `text` laid out in `layout` as a path, anti-aliased.
void FillTextPath(Gdiplus::Graphics* graphics, const std::wstring& text, const Gdiplus::Font* font,
                  const Gdiplus::StringFormat* format, const Gdiplus::RectF& layout, const Gdiplus::Brush* brush) {
  Gdiplus::FontFamily family;
  font->GetFamily(&family);
  Gdiplus::GraphicsPath path;
  path.AddString(text.c_str(), static_cast<INT>(text.size()), &family, font->GetStyle(), font->GetSize(), layout,
                 format);
  const Gdiplus::SmoothingMode smoothing = graphics->GetSmoothingMode();
  const Gdiplus::InterpolationMode interpolation = graphics->GetInterpolationMode();
  graphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics->FillPath(brush, &path);
  graphics->SetSmoothingMode(smoothing);
  graphics->SetInterpolationMode(interpolation);
}

}  // namespace

void CUILibLabel::Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  if (graphics == nullptr) return;
  PaintBackground(graphics, clip);
  const uilib::RectF& rect = Rect();
  if (uilib::HasNoArea(uilib::IntersectRects(rect, clip)) || text_.empty()) return;
  Gdiplus::SolidBrush brush(Gdiplus::Color(Style().Values().color));
  const Gdiplus::Font* font = uilib::win::StyleFontFor(Style(), false);
  const Gdiplus::StringFormat* format = uilib::win::StyleTextFormat(Style());
  const Gdiplus::RectF element = uilib::win::ToGdiplusRect(rect);
  // A label scrolled by a scroll bar moves its text up inside the fixed
  // element rectangle.
  Gdiplus::RectF layout = element;
  if (Xml()->Attribute("vscroll") != nullptr) {
    const float offset = static_cast<float>(ScrollOffset());
    layout.Y -= offset;
    layout.Height += offset;
  }
  const uilib::StyleValues& values = Style().Values();
  if (values.text_antialias) {
    const Gdiplus::GraphicsContainer container = graphics->BeginContainer();
    graphics->SetClip(element, Gdiplus::CombineModeReplace);
    FillTextPath(graphics, text_, font, format, layout, &brush);
    graphics->EndContainer(container);
  } else if (values.text_shadow) {
    FillTextPath(graphics, text_, font, format, element, &brush);
  } else {
    const Gdiplus::GraphicsContainer container = graphics->BeginContainer();
    graphics->SetClip(element, Gdiplus::CombineModeReplace);
    graphics->DrawString(text_.c_str(), static_cast<INT>(text_.size()), font, layout, format, &brush);
    graphics->EndContainer(container);
  }
}
