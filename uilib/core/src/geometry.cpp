#include "uilib/geometry.h"

#include <cmath>
#include <limits>

namespace uilib {

int TruncToInt(float value) {
  if (std::isnan(value)) return 0;
  // 2^31 is exactly representable as a float; INT_MAX is not.
  constexpr float kLimit = 2147483648.0f;
  if (value >= kLimit) return std::numeric_limits<int>::max();
  if (value <= -kLimit) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

}  // namespace uilib
