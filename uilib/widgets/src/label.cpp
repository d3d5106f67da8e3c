#include "uilib/widgets/label.h"

#include <cmath>
#include <tinyxml.h>

#include "uilib/text_measure.h"
#include "uilib/text_util.h"

namespace {

constexpr std::string_view kStringPrefix = "string::";

// The `value` text: "string::key" through the client's text provider,
// anything else UTF-8.
std::wstring ValueText(const TiXmlElement* xml, IUILib* lib) {
  const char* value = xml->Attribute("value");
  if (value == nullptr) return {};
  if (uilib::StartsWithIgnoreCase(value, kStringPrefix)) {
    std::wstring text;
    if (lib != nullptr && lib->GetTextProvider() != nullptr) {
      lib->GetTextProvider()->GetText(text, value + kStringPrefix.size());
    }
    return text;
  }
  return uilib::Utf8ToWide(value);
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

CUILibAnchor::CUILibAnchor(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibElement(parent, xml, lib), text_(ValueText(Xml(), lib)) {}

int CUILibAnchor::MeasureContent(Gdiplus::Graphics* graphics, uilib::SizeF* size, const uilib::SizeF& avail) {
  return MeasureText(graphics, Style(), text_, size, avail, false);
}
