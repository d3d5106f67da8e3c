#include "uilib/render_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace uilib {
namespace {

class RecordingTarget : public RepaintTarget {
 public:
  void PaintDirect(const PixelRect& rect) override { painted.push_back(rect); }
  std::vector<PixelRect> painted;
};

// Holds a mutex on another thread until released, as the UI thread or the
// render thread would.
class HeldElsewhere {
 public:
  explicit HeldElsewhere(TimedMutex& mutex)
      : thread_([this, &mutex] {
          mutex.Lock(TimedMutex::kInfinite);
          held_ = true;
          while (!release_) std::this_thread::yield();
          mutex.Unlock();
        }) {
    while (!held_) std::this_thread::yield();
  }
  ~HeldElsewhere() {
    release_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> held_{false};
  std::atomic<bool> release_{false};
  std::thread thread_;
};

TEST(RenderQueueTest, BatchMergesRecordsIntoOneRectanglePerWindow) {
  RenderQueue queue;
  TimedMutex tree;
  RecordingTarget a, b;
  queue.Push(&a, {10, 10, 20, 20});
  queue.Push(&b, {0, 0, 5, 5});
  queue.Push(&a, {30, 5, 40, 15});
  queue.Push(&a, {0, 0, 0, 0});  // an empty rectangle widens nothing
  EXPECT_EQ(queue.PaintBatch(tree), 2u);
  ASSERT_EQ(a.painted.size(), 1u);
  EXPECT_EQ(a.painted[0], (PixelRect{10, 5, 40, 20}));
  ASSERT_EQ(b.painted.size(), 1u);
  EXPECT_EQ(b.painted[0], (PixelRect{0, 0, 5, 5}));
  EXPECT_EQ(queue.Size(), 0u);
  EXPECT_EQ(queue.PaintBatch(tree), 0u);  // an empty queue paints nothing
}

TEST(RenderQueueTest, PurgeRemovesOnlyThatWindowsRecords) {
  RenderQueue queue;
  TimedMutex tree;
  RecordingTarget a, b;
  queue.Push(&a, {0, 0, 1, 1});
  queue.Push(&b, {0, 0, 2, 2});
  queue.Push(&a, {0, 0, 3, 3});
  queue.Purge(&a);
  EXPECT_EQ(queue.Size(), 1u);
  queue.PaintBatch(tree);
  EXPECT_TRUE(a.painted.empty());
  EXPECT_EQ(b.painted.size(), 1u);
}

TEST(RenderQueueTest, BusyTreeKeepsRecordsForTheNextBatch) {
  RenderQueue queue;
  TimedMutex tree;
  RecordingTarget a;
  queue.Push(&a, {0, 0, 8, 8});
  {
    HeldElsewhere busy(tree);
    EXPECT_EQ(queue.PaintBatch(tree), 0u);  // gives up after 200 ms
  }
  EXPECT_TRUE(a.painted.empty());
  EXPECT_EQ(queue.Size(), 1u);
  // The queue mutex was released on the way out: producers are not blocked.
  queue.Push(&a, {8, 8, 9, 9});
  EXPECT_EQ(queue.PaintBatch(tree), 1u);
  ASSERT_EQ(a.painted.size(), 1u);
  EXPECT_EQ(a.painted[0], (PixelRect{0, 0, 9, 9}));
}

TEST(RenderQueueTest, BusyQueueMutexPaintsNothing) {
  RenderQueue queue;
  TimedMutex tree;
  RecordingTarget a;
  queue.Push(&a, {0, 0, 8, 8});
  {
    HeldElsewhere busy(queue.Mutex());
    EXPECT_EQ(queue.PaintBatch(tree), 0u);
  }
  EXPECT_EQ(queue.Size(), 1u);
  // The tree mutex is not left held after the failed attempt.
  EXPECT_TRUE(tree.Lock(0));
  tree.Unlock();
}

}  // namespace
}  // namespace uilib
