#include "uilib/widgets/win/text_drawing.h"

#include "uilib/win/font_lookup.h"
#include "uilib/win/style_graphics.h"

namespace uilib::win {

const Gdiplus::Font* StyleFontFor(const CUILibStyle& style, bool hovered) {
  if (const StyleGraphics* g = style.Graphics()) {
    const Gdiplus::Font* font = hovered ? g->hovered_font.get() : g->font.get();
    if (font != nullptr) return font;
  }
  return DefaultFont();
}

const Gdiplus::StringFormat* StyleTextFormat(const CUILibStyle& style) {
  const StyleGraphics* g = style.Graphics();
  return g != nullptr ? g->text_format.get() : nullptr;
}

}  // namespace uilib::win
