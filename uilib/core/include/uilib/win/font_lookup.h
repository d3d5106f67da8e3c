// Fonts of the style language: the family is looked up among the installed
// families by case-insensitive name; a missing family falls back to "宋体"
// with a line on standard output.
#pragma once

#include <memory>
#include <string>

#include "uilib/style_values.h"
#include "uilib/win/gdiplus_include.h"

namespace uilib::win {

// An installed family whose name equals `name` ignoring case, or null. The
// families are enumerated once and live until the process ends.
const Gdiplus::FontFamily* FindInstalledFamily(const std::wstring& name);

struct StyleFont {
  std::unique_ptr<Gdiplus::Font> font;
  bool fallback = false;  // the requested family was not installed
};

// Creates the font of a style's font value (size in pixels, style bits). When
// the family is not installed, prints "字体[<family>]不存在，使用仿宋体" and uses 宋体.
StyleFont CreateStyleFont(const FontSpec& spec);

// The library's default font, shared by the process and never freed: 宋体,
// 12 pixels, regular. Created on first use.
Gdiplus::Font* DefaultFont();

}  // namespace uilib::win
