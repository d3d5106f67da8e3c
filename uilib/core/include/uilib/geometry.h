// UI geometry: float rectangles in window client coordinates.
#pragma once

namespace uilib {

struct RectF {
  float x = 0.0f;
  float y = 0.0f;
  float w = 0.0f;
  float h = 0.0f;
  bool operator==(const RectF&) const = default;
};

struct SizeF {
  float w = 0.0f;
  float h = 0.0f;
  bool operator==(const SizeF&) const = default;
};

struct PointF {
  float x = 0.0f;
  float y = 0.0f;
  bool operator==(const PointF&) const = default;
};

// Sizes not greater than this are empty (FLT_EPSILON).
inline constexpr float kEmptyExtent = 1.1920929e-07f;
// The height of an area that grows without bound (FLT_MAX).
inline constexpr float kUnboundedExtent = 3.4028235e38f;

// The integer part of `value` (truncation towards zero), clamped to the int
// range: unbounded areas produce values no int can hold.
int TruncToInt(float value);
inline float TruncF(float value) { return static_cast<float>(TruncToInt(value)); }

inline bool IsEmptyExtent(float extent) { return !(extent > kEmptyExtent); }

}  // namespace uilib
