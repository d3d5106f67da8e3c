#include "uilib/animation.h"

#include <atomic>
#include <chrono>

namespace uilib {

float AnimationProgress(const AnimationRecord& record, std::uint64_t now_ms) {
  if (record.duration_ms == 0 || now_ms < record.start_ms) return record.duration_ms == 0 ? 1.0f : 0.0f;
  float progress = static_cast<float>(now_ms - record.start_ms) / static_cast<float>(record.duration_ms);
  return progress >= 1.0f ? 1.0f : progress;
}

namespace {
std::atomic<ClockSource> clock_source{nullptr};
}  // namespace

void SetClockSource(ClockSource source) { clock_source.store(source); }

std::uint64_t MonotonicNowMs() {
  if (ClockSource source = clock_source.load()) return source();
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace uilib
