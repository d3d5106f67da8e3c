// The GDI+ objects of one style record, built from its plain values. Each is
// owned by the record; a new value replaces the object.
#pragma once

#include <memory>

#include "uilib/style.h"
#include "uilib/win/gdiplus_include.h"

namespace uilib {

class StyleGraphics {
 public:
  StyleGraphics();

  std::unique_ptr<Gdiplus::Brush> background_brush;
  std::unique_ptr<Gdiplus::Image> background_image;
  std::unique_ptr<Gdiplus::Font> font;  // null: the library default font is used
  bool font_fallback = false;
  std::unique_ptr<Gdiplus::Font> hovered_font;
  bool hovered_font_fallback = false;
  std::unique_ptr<Gdiplus::StringFormat> text_format;
  std::unique_ptr<Gdiplus::Pen> border_pen;
  HCURSOR cursor = nullptr;
  HCURSOR disabled_cursor = nullptr;  // never set by the language

  // The cursor to show over the owning element in its current state.
  HCURSOR CursorFor(bool disabled) const { return disabled ? disabled_cursor : cursor; }
};

}  // namespace uilib
