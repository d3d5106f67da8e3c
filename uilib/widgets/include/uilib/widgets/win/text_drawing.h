// GDI+ pieces shared by the text kinds: the font and string format a style
// gives (the library's default font when the style names none).
#pragma once

#include "uilib/geometry.h"
#include "uilib/style.h"
#include "uilib/win/gdiplus_include.h"

namespace uilib::win {

// The style's font, or its hovered font when `hovered`; each falls back to the
// library's default font when the style does not name it.
const Gdiplus::Font* StyleFontFor(const CUILibStyle& style, bool hovered);
// The style's string format (null without a graphics backend object).
const Gdiplus::StringFormat* StyleTextFormat(const CUILibStyle& style);

inline Gdiplus::RectF ToGdiplusRect(const RectF& r) { return Gdiplus::RectF(r.x, r.y, r.w, r.h); }

}  // namespace uilib::win
