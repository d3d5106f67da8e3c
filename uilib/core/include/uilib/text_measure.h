// Measuring a text with a style's font and text format, for `auto` sizes.
// On Windows GDI+ measures with the given graphics (a desktop graphics when
// none is given); elsewhere a deterministic stand-in measures, so that layout
// arithmetic that involves text stays testable natively.
#pragma once

#include <string>

#include "uilib/geometry.h"
#include "uilib/native_handles.h"

class CUILibStyle;

namespace uilib {

struct TextMeasure {
  bool ok = false;
  SizeF size;  // the bounding box of the laid-out text
};

// Lays `text` out in the rectangle (0, 0, layout.w, layout.h); a zero size is
// unbounded. `hovered` selects the style's hovered font.
TextMeasure MeasureStyledText(Gdiplus::Graphics* graphics, const CUILibStyle& style, const std::wstring& text,
                              SizeF layout, bool hovered = false);

}  // namespace uilib
