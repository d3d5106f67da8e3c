// UI geometry: float rectangles in window client coordinates.
#pragma once

namespace uilib {

struct RectF {
  float x = 0.0f;
  float y = 0.0f;
  float w = 0.0f;
  float h = 0.0f;
};

}  // namespace uilib
