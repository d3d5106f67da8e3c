#include "uilib/widgets/progress_geometry.h"

#include <algorithm>
#include <cmath>

namespace uilib {

double ClampProgress(double fraction) {
  if (std::isnan(fraction)) return 0.0;
  return std::max(std::min(fraction, 1.0), 0.0);
}

RectF ProgressBarRect(const RectF& rect, double progress) {
  return RectF{rect.x, rect.y, static_cast<float>(rect.w * progress), rect.h};
}

size_t CirclePointCount(double progress) {
  const double points = progress * static_cast<double>(kFullCirclePoints);
  if (!(points > 0.0)) return 0;
  return points >= static_cast<double>(kFullCirclePoints) ? kFullCirclePoints : static_cast<size_t>(points);
}

PointF CirclePoint(const RectF& rect, size_t index) {
  constexpr double kRadiansPerTenthDegree = 0.017453292222222222 / 10.0;
  const double cx = rect.x + rect.w / 2.0;
  const double cy = rect.y + rect.h / 2.0;
  const double rx = (rect.w - 2.0) / 2.0;
  const double ry = (rect.h - 2.0) / 2.0;
  const double angle = static_cast<double>(index) * kRadiansPerTenthDegree;
  return PointF{static_cast<float>(cx + std::sin(angle) * rx), static_cast<float>(cy - std::cos(angle) * ry)};
}

std::vector<PointF> CirclePoints(const RectF& rect, size_t count) {
  std::vector<PointF> points(count);
  for (size_t i = 0; i < count; ++i) points[i] = CirclePoint(rect, i);
  return points;
}

}  // namespace uilib
