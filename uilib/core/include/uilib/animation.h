// The record of a running `Animate` call. Its address identifies the 1 ms
// window timer that drives it.
#pragma once

#include <cstdint>

#include "uilib/iuilib_element.h"

class CUILibElement;

namespace uilib {

struct AnimationRecord {
  UILibAnimateCallback callback = nullptr;
  std::uint64_t start_ms = 0;
  std::uint32_t duration_ms = 0;
  void* user_data = nullptr;
  CUILibElement* element = nullptr;
};

// Progress of an animation at `now_ms`: elapsed / duration, 1 from the end on
// (and for a duration of 0).
float AnimationProgress(const AnimationRecord& record, std::uint64_t now_ms);

// Milliseconds of a monotonic clock.
std::uint64_t MonotonicNowMs();

}  // namespace uilib
