// Rectangle intersection as the kinds use it to limit drawing to the dirty
// rectangle. Win32-free.
#pragma once

#include <algorithm>

#include "uilib/geometry.h"

namespace uilib {

// The common part of two rectangles; no overlap gives zero width or height.
inline RectF IntersectRects(const RectF& a, const RectF& b) {
  const float left = std::max(a.x, b.x);
  const float top = std::max(a.y, b.y);
  const float right = std::min(a.x + a.w, b.x + b.w);
  const float bottom = std::min(a.y + a.h, b.y + b.h);
  return RectF{left, top, std::max(0.0f, right - left), std::max(0.0f, bottom - top)};
}

// Whether a rectangle has no area (an extent not above GDI+'s float epsilon).
inline bool HasNoArea(const RectF& r) { return IsEmptyExtent(r.w) || IsEmptyExtent(r.h); }

}  // namespace uilib
