#include "uilib/text_measure.h"

#include <memory>

#include "uilib/style.h"
#include "uilib/win/font_lookup.h"
#include "uilib/win/style_graphics.h"

namespace uilib {
namespace {

const Gdiplus::Font* FontOf(const StyleGraphics* g, bool hovered) {
  if (g != nullptr) {
    const Gdiplus::Font* font = hovered ? g->hovered_font.get() : g->font.get();
    if (font != nullptr) return font;
  }
  return win::DefaultFont();
}

}  // namespace

TextMeasure MeasureStyledText(Gdiplus::Graphics* graphics, const CUILibStyle& style, const std::wstring& text,
                              SizeF layout, bool hovered) {
  std::unique_ptr<Gdiplus::Graphics> desktop;
  if (graphics == nullptr) {
    // Measuring outside a paint pass: a graphics of the desktop window.
    desktop.reset(Gdiplus::Graphics::FromHWND(GetDesktopWindow()));
    graphics = desktop.get();
  }
  const StyleGraphics* g = style.Graphics();
  Gdiplus::RectF box;
  Gdiplus::Status status =
      graphics->MeasureString(text.c_str(), static_cast<INT>(text.size()), FontOf(g, hovered),
                              Gdiplus::RectF(0.0f, 0.0f, layout.w, layout.h),
                              g != nullptr ? g->text_format.get() : nullptr, &box);
  if (status != Gdiplus::Ok) return {};
  return TextMeasure{true, SizeF{box.Width, box.Height}};
}

}  // namespace uilib
