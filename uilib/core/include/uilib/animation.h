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

// Milliseconds of the library's monotonic clock: what fades, slides, element
// animations and their timers read as "now".
std::uint64_t MonotonicNowMs();

// The clock seam: while a source is set, MonotonicNowMs returns what it
// returns, so a test can show an animation at an exact moment. Null restores
// the steady clock.
using ClockSource = std::uint64_t (*)();
void SetClockSource(ClockSource source);

}  // namespace uilib
