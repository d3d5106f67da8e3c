// What the render thread's batching costs and saves: a burst of repaint
// records over a few windows taken and merged in one batch, against the
// baseline of taking the same records unmerged (one paint per record), and the
// cache-file naming of a URL against the bare CRC of its bytes.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "uilib/cache_naming.h"
#include "uilib/render_queue.h"
#include "velko/crc32.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Body>
double MicrosecondsPerRun(int runs, Body body) {
  body();
  auto start = Clock::now();
  for (int i = 0; i < runs; ++i) body();
  std::chrono::duration<double, std::micro> elapsed = Clock::now() - start;
  return elapsed.count() / runs;
}

class CountingTarget : public uilib::RepaintTarget {
 public:
  void PaintDirect(const uilib::PixelRect&) override { ++paints; }
  long paints = 0;
};

}  // namespace

int main() {
  constexpr int kWindows = 4;
  constexpr int kRecordsPerWindow = 16;
  constexpr int kRuns = 20000;
  CountingTarget targets[kWindows];
  uilib::TimedMutex tree;
  uilib::RenderQueue queue;

  auto fill = [&] {
    for (int i = 0; i < kRecordsPerWindow; ++i) {
      for (int w = 0; w < kWindows; ++w) queue.Push(&targets[w], {i, i, i + 20, i + 10});
    }
  };
  double merged_us = MicrosecondsPerRun(kRuns, [&] {
    fill();
    queue.PaintBatch(tree);
  });
  long merged_paints = targets[0].paints;

  // Baseline: the same records pushed and painted one by one.
  std::vector<uilib::RenderQueue::Merged> records;
  long unmerged_paints = 0;
  double unmerged_us = MicrosecondsPerRun(kRuns, [&] {
    for (int i = 0; i < kRecordsPerWindow; ++i) {
      for (int w = 0; w < kWindows; ++w) records.push_back({&targets[w], {i, i, i + 20, i + 10}});
    }
    for (const auto& r : records) r.target->PaintDirect(r.rect), ++unmerged_paints;
    records.clear();
  });

  std::u16string url = u"http://ads.example.com/campaigns/2024/banner_left_600x90.png?v=17";
  double crc_us = MicrosecondsPerRun(kRuns, [&] { (void)velko::BufferCrc32(url.data(), url.size() * 2); });
  double name_us = MicrosecondsPerRun(kRuns, [&] { (void)uilib::CacheFileName(url); });

  std::printf("render queue: %d windows x %d records per batch, %d runs\n", kWindows, kRecordsPerWindow, kRuns);
  std::printf("  unmerged take+paint (baseline) %8.2f us  %ld paints per window per run\n", unmerged_us,
              unmerged_paints / (kRuns + 1) / kWindows);
  std::printf("  merged batch                   %8.2f us  %ld paint per window per run  %.2fx baseline time\n",
              merged_us, merged_paints / (kRuns + 1), merged_us / unmerged_us);
  std::printf("cache name of a %zu-character URL\n", url.size());
  std::printf("  CRC-32 of its bytes (baseline) %8.3f us\n", crc_us);
  std::printf("  cache file name                %8.3f us  %.2fx baseline\n", name_us, name_us / crc_us);
  return 0;
}
