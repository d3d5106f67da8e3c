#include "uilib/widgets/label.h"

#include <cmath>
#include <tinyxml.h>

#include "uilib/scroll_link.h"
#include "uilib/text_measure.h"
#include "uilib/text_ref.h"
#include "uilib/text_util.h"
#include "uilib/tree_lock.h"
#include "uilib/widgets/text_fit.h"
#include "uilib/widgets/widget_state.h"

namespace {

// The `value` text, resolved as every text reference of a skin is.
std::wstring ValueText(const TiXmlElement* xml, IUILib* lib) {
  const char* value = xml->Attribute("value");
  if (value == nullptr) return {};
  return uilib::ResolveText(lib, value);
}

int MeasureText(Gdiplus::Graphics* graphics, const CUILibStyle& style, const std::wstring& text,
                uilib::SizeF* size, const uilib::SizeF& avail, bool round_up) {
  if (size == nullptr) return 0;
  uilib::TextMeasure measured = uilib::MeasureStyledText(graphics, style, text, avail);
  if (!measured.ok) return 0;
  size->w = round_up ? std::ceil(measured.size.w) : measured.size.w;
  size->h = round_up ? std::ceil(measured.size.h) : measured.size.h;
  return 1;
}

}  // namespace

CUILibLabel::CUILibLabel(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibElement(parent, xml, lib), text_(ValueText(Xml(), lib)) {}

int CUILibLabel::MeasureContent(Gdiplus::Graphics* graphics, uilib::SizeF* size, const uilib::SizeF& avail) {
  return MeasureText(graphics, Style(), text_, size, avail, true);
}

void CUILibLabel::Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) {
  CUILibElement::Layout(area, graphics, out);
  if (out == nullptr) UpdateLinkedScrollBar(graphics, false);
}

void CUILibLabel::SetText(const wchar_t* text) {
  const wchar_t* new_text = text != nullptr ? text : L"";
  // The same text again changes nothing on screen: no repaint (a layered
  // window pushes all of itself for each one).
  if (text_ == new_text) return;
  {
    // The render thread may be drawing the old text right now.
    uilib::ScopedTreeChange change(Library(), "SetText");
    text_ = new_text;
  }
  UpdateLinkedScrollBar(nullptr, true);
  if (uilib::WindowServices* services = Services()) {
    const uilib::RectF& r = Rect();
    services->RequestRepaint(uilib::RepaintRect{uilib::TruncToInt(r.x), uilib::TruncToInt(r.y),
                                                uilib::TruncToInt(r.x + r.w), uilib::TruncToInt(r.y + r.h)});
  }
}

void CUILibLabel::UpdateLinkedScrollBar(Gdiplus::Graphics* graphics, bool redraw) {
  CUILibElement* bar = LinkedScrollBar();
  if (bar == nullptr) return;
  // Without a graphics the measurement uses one of the desktop window; a
  // failed measurement counts as no height.
  const uilib::TextMeasure measured =
      uilib::MeasureStyledText(graphics, Style(), text_, uilib::SizeF{Rect().w, uilib::kUnboundedExtent});
  const uilib::ScrollRange range = uilib::LabelScrollRange(Rect().h, measured.ok ? measured.size.h : 0.0f);
  uilib::SetLinkedScrollRange(bar, range.maximum, range.page, redraw);
}

CUILibAnchor::CUILibAnchor(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibElement(parent, xml, lib), text_(ValueText(Xml(), lib)) {}

int CUILibAnchor::MeasureContent(Gdiplus::Graphics* graphics, uilib::SizeF* size, const uilib::SizeF& avail) {
  return MeasureText(graphics, Style(), text_, size, avail, false);
}

int CUILibAnchor::OnMouseEnter() {
  if (uilib::WindowServices* services = Services()) {
    services->RequestRepaint(uilib::GrownRepaintRect(Rect(), ScrollOffset()));
    services->TrackElement(this);
  }
  return FireEvent("onmouseover");
}

int CUILibAnchor::OnMouseLeave() {
  if (uilib::WindowServices* services = Services()) {
    services->RequestRepaint(uilib::GrownRepaintRect(Rect(), ScrollOffset()));
  }
  return CUILibElement::OnMouseLeave();
}
