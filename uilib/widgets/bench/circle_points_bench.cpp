// Cost of the circle progress element's point list per paint: up to 3600
// points (ten per degree) built into a list allocated once with its final
// size. Timed for 900, 1800 and 3600 points (25, 50 and 100 %), per point.
// Baseline, same run: the same points appended one by one to a list that
// grows as it goes; the ratio shows what the single allocation saves, and
// the per-point time shows whether a full ring stays cheap beside painting.
#include <cstdio>
#include <ctime>
#include <vector>

#include "uilib/widgets/progress_geometry.h"

namespace {

double ThreadCpuNs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

constexpr int kPaints = 2000;
const uilib::RectF kRect{10, 10, 229, 229};

double TimeOnce(size_t count, float* sink) {
  const double start = ThreadCpuNs();
  for (int i = 0; i < kPaints; ++i) {
    std::vector<uilib::PointF> points = uilib::CirclePoints(kRect, count);
    *sink += points.back().x;
  }
  return (ThreadCpuNs() - start) / (kPaints * static_cast<double>(count));
}

double TimeGrowing(size_t count, float* sink) {
  const double start = ThreadCpuNs();
  for (int i = 0; i < kPaints; ++i) {
    std::vector<uilib::PointF> points;
    for (size_t p = 0; p < count; ++p) points.push_back(uilib::CirclePoint(kRect, p));
    *sink += points.back().x;
  }
  return (ThreadCpuNs() - start) / (kPaints * static_cast<double>(count));
}

}  // namespace

int main() {
  float sink = 0.0f;
  std::printf("%8s %14s %16s %8s\n", "points", "ns/point", "growing ns/pt", "ratio");
  for (size_t count : {size_t{900}, size_t{1800}, uilib::kFullCirclePoints}) {
    const double once = TimeOnce(count, &sink);
    const double growing = TimeGrowing(count, &sink);
    std::printf("%8zu %14.2f %16.2f %8.2f\n", count, once, growing, growing / once);
  }
  std::printf("full ring per paint: %.1f us\n", TimeOnce(uilib::kFullCirclePoints, &sink) * 3600 / 1000.0);
  return sink == 12345.0f ? 1 : 0;
}
