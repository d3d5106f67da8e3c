// Text measurement of builds without GDI+: one line, an ASCII character half
// the font size wide, any other character the font size wide, as high as the
// font size (12 pixels without a font). Deterministic, for native tests.
#include "uilib/style.h"
#include "uilib/text_measure.h"

namespace uilib {

TextMeasure MeasureStyledText(Gdiplus::Graphics*, const CUILibStyle& style, const std::wstring& text, SizeF,
                              bool hovered) {
  const std::optional<FontSpec>& font = hovered ? style.Values().hovered_font : style.Values().font;
  const float size = font ? static_cast<float>(font->size_px) : 12.0f;
  float width = 0.0f;
  for (wchar_t c : text) width += c < 0x80 ? size * 0.5f : size;
  return TextMeasure{true, SizeF{width, text.empty() ? 0.0f : size}};
}

}  // namespace uilib
