#include "uilib/widgets/scroll_bar_geometry.h"

#include <algorithm>
#include <cmath>

namespace uilib {
namespace {

// The pixels the thumb's top can travel: the bar less parts 0 and 2 and the
// thumb itself.
double Travel(const ScrollBarParts& parts, float height, int thumb_length) {
  return static_cast<double>(height) - parts.up - parts.down - thumb_length;
}

// (int) of a double that may be non-finite or out of range (a zero span or
// an empty range divides by zero): such values give `fallback`.
int ToIntOr(double value, int fallback) {
  if (!std::isfinite(value) || value >= 2147483647.0 || value <= -2147483648.0) return fallback;
  return static_cast<int>(value);
}

}  // namespace

void ApplyScrollRecord(const ScrollRecord& from, ScrollRecord& into) {
  if ((from.mask & kMaskPage) != 0) into.page = from.page == 0 ? 1u : from.page;
  if ((from.mask & kMaskPosition) != 0) into.position = from.position;
  if ((from.mask & kMaskRange) != 0) {
    into.minimum = from.minimum;
    into.maximum = from.maximum;
  }
  if ((from.mask & kMaskTrackPosition) != 0) into.track_position = from.track_position;
}

std::uint32_t ScrollSpan(const ScrollRecord& r) {
  return static_cast<std::uint32_t>(r.maximum) - r.page - static_cast<std::uint32_t>(r.minimum);
}

ThumbExtent ComputeThumb(const ScrollRecord& r, const ScrollBarParts& parts, float height, int bar_pixels,
                         int previous_length) {
  const double fraction = static_cast<double>(r.position) / ScrollSpan(r);
  ThumbExtent thumb;
  thumb.top = ToIntOr(Travel(parts, height, previous_length) * fraction + parts.up, parts.up);
  const int track = std::max(0, bar_pixels - parts.up - parts.down);
  const double range = static_cast<double>(r.maximum) - r.minimum;
  const int length = std::min(ToIntOr(r.page / range * track, track), track);
  thumb.bottom = thumb.top + std::max(length, parts.min_thumb);
  return thumb;
}

int DragPosition(const ScrollRecord& at_press, const ScrollBarParts& parts, float height, int thumb_length,
                 float dy) {
  const double moved = dy / Travel(parts, height, thumb_length) * ScrollSpan(at_press);
  // In 64 bits: a client's extreme range must not overflow.
  const std::int64_t top_limit = std::int64_t{at_press.maximum} - at_press.page + 1;
  const std::int64_t wanted = std::int64_t{at_press.position} + ToIntOr(moved, 0);
  return static_cast<int>(std::max<std::int64_t>(at_press.minimum, std::min(wanted, top_limit)));
}

int DragThumbTop(const ScrollRecord& r, const ScrollBarParts& parts, float height, int thumb_length) {
  const double fraction = static_cast<double>(r.track_position) / ScrollSpan(r);
  return ToIntOr(Travel(parts, height, thumb_length) * fraction + parts.up, parts.up);
}

}  // namespace uilib
