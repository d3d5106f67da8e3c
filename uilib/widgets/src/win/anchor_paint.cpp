// Drawing of the anchor: the normal or hovered font and colour, and the text
// shortened with "..." when the element cannot show all of it.
#include "uilib/widgets/label.h"
#include "uilib/widgets/rect_ops.h"
#include "uilib/widgets/text_fit.h"
#include "uilib/widgets/win/text_drawing.h"

void CUILibAnchor::Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  if (graphics == nullptr) return;
  const bool hovered = IsHovered();
  const uilib::StyleValues& values = Style().Values();
  const Gdiplus::Font* font = uilib::win::StyleFontFor(Style(), hovered);
  const Gdiplus::Color colour(hovered ? values.hovered_color : values.color);
  PaintBackground(graphics, clip);
  if (uilib::HasNoArea(uilib::IntersectRects(Rect(), clip)) || text_.empty()) return;
  const Gdiplus::StringFormat* format = uilib::win::StyleTextFormat(Style());
  const Gdiplus::RectF layout = uilib::win::ToGdiplusRect(Rect());
  Gdiplus::RectF box;
  INT fitted = 0;
  INT lines = 0;
  const Gdiplus::Status status = graphics->MeasureString(text_.c_str(), static_cast<INT>(text_.size()), font, layout,
                                                         format, &box, &fitted, &lines);
  // A failed measurement says nothing about the fit: the text is drawn whole.
  size_t fit = text_.size();
  if (status == Gdiplus::Ok) fit = fitted > 0 ? static_cast<size_t>(fitted) : 0;
  const std::wstring shown = uilib::EllipsisText(text_, fit);
  Gdiplus::SolidBrush brush(colour);
  graphics->DrawString(shown.c_str(), static_cast<INT>(shown.size()), font, layout, format, &brush);
}
