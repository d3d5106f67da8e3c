#include "uilib/render_queue.h"

#include <algorithm>
#include <unordered_map>

namespace uilib {

PixelRect UnionRect(const PixelRect& a, const PixelRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return PixelRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                   std::max(a.bottom, b.bottom)};
}

void RenderQueue::Push(RepaintTarget* target, const PixelRect& rect) {
  TimedLock lock(mutex_, TimedMutex::kInfinite);
  records_.push_back(Merged{target, rect});
}

void RenderQueue::Purge(RepaintTarget* target) {
  TimedLock lock(mutex_, TimedMutex::kInfinite);
  std::erase_if(records_, [target](const Merged& record) { return record.target == target; });
}

size_t RenderQueue::Size() {
  TimedLock lock(mutex_, TimedMutex::kInfinite);
  return records_.size();
}

std::vector<RenderQueue::Merged> RenderQueue::TakeMergedLocked() {
  std::vector<Merged> merged;
  std::unordered_map<RepaintTarget*, size_t> slot_of;
  for (const Merged& record : records_) {
    auto [it, inserted] = slot_of.try_emplace(record.target, merged.size());
    if (inserted) {
      merged.push_back(record);
    } else {
      merged[it->second].rect = UnionRect(merged[it->second].rect, record.rect);
    }
  }
  records_.clear();
  return merged;
}

size_t RenderQueue::PaintBatch(TimedMutex& tree_mutex) {
  std::vector<Merged> batch;
  {
    TimedLock queue_lock(mutex_, kRenderQueueWaitMs);
    if (!queue_lock || records_.empty()) return 0;
    // Taken before the queue is released: the lock order is queue, then tree.
    if (!tree_mutex.Lock(kRenderQueueWaitMs)) return 0;
    batch = TakeMergedLocked();
  }
  for (const Merged& item : batch) item.target->PaintDirect(item.rect);
  tree_mutex.Unlock();
  return batch.size();
}

}  // namespace uilib
