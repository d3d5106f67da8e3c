// The render queue: repaint requests {window, rectangle} that windows painted
// by the render thread append, and that the render thread takes in batches,
// merged into one rectangle per window. Lock order: the queue's mutex before
// the tree mutex.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "uilib/timed_mutex.h"

namespace uilib {

// A pixel rectangle in client coordinates (right and bottom exclusive), laid
// out like the Win32 RECT.
struct PixelRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool operator==(const PixelRect&) const = default;
  bool Empty() const { return right <= left || bottom <= top; }
};

// The smallest rectangle holding both; an empty rectangle adds nothing.
PixelRect UnionRect(const PixelRect& a, const PixelRect& b);

// A window that the render thread paints directly into its device context.
class RepaintTarget {
 public:
  // Called on the render thread with the tree mutex held.
  virtual void PaintDirect(const PixelRect& rect) = 0;

 protected:
  ~RepaintTarget() = default;
};

inline constexpr std::uint32_t kRenderQueueWaitMs = 200;  // render thread's limit on both mutexes
inline constexpr std::uint32_t kTreeChangeWaitMs = 2000;  // tree changes on the UI thread

class RenderQueue {
 public:
  struct Merged {
    RepaintTarget* target;
    PixelRect rect;
  };

  // Producers wait for the queue without limit.
  void Push(RepaintTarget* target, const PixelRect& rect);
  // Removes every queued record of `target` (a window being destroyed).
  void Purge(RepaintTarget* target);
  size_t Size();

  TimedMutex& Mutex() { return mutex_; }

  // One repaint batch of the render thread: takes the queue mutex and then
  // the tree mutex, each within kRenderQueueWaitMs, merges the records per
  // window (in the order each window was first queued), empties the queue,
  // releases the queue and paints every merged rectangle with the tree mutex
  // held. When a mutex is not obtained nothing is painted and the records stay
  // queued. Returns the number of windows painted.
  size_t PaintBatch(TimedMutex& tree_mutex);

 private:
  std::vector<Merged> TakeMergedLocked();

  TimedMutex mutex_;
  std::vector<Merged> records_;
};

}  // namespace uilib
