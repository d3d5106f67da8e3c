// What the progress kinds draw for a fraction: the clamped fraction, the bar
// rectangle and the points of the circle's arc. Win32-free.
#pragma once

#include <cstddef>
#include <vector>

#include "uilib/geometry.h"

namespace uilib {

// The fraction limited to [0, 1] (upper bound first).
double ClampProgress(double fraction);

// The element rectangle with its width scaled by the progress.
RectF ProgressBarRect(const RectF& rect, double progress);

// Ten points per degree: progress x 3600, truncated. A fraction below 0 gives
// none and one above 1 the full ring, so an unclamped attribute value cannot
// ask for an unbounded point list.
size_t CirclePointCount(double progress);

inline constexpr size_t kFullCirclePoints = 3600;

// Point `index` of the arc on the ellipse inside `rect`.
PointF CirclePoint(const RectF& rect, size_t index);

// `count` points on the ellipse inside `rect` (radii (w - 2) / 2 and
// (h - 2) / 2), starting at twelve o'clock and running clockwise on the
// screen, a tenth of a degree apart.
std::vector<PointF> CirclePoints(const RectF& rect, size_t count);

}  // namespace uilib
