#include "uilib/deferred_deletion.h"

#include <algorithm>

#include "uilib/window.h"

namespace uilib {

DeferredDeletion::DeferredDeletion() = default;
DeferredDeletion::~DeferredDeletion() = default;

void DeferredDeletion::Queue(std::unique_ptr<CUILibWindow> window) {
  if (!window) return;
  TimedLock lock(mutex_, TimedMutex::kInfinite);
  queued_.push_back(std::move(window));
}

bool DeferredDeletion::Tick() {
  std::unique_ptr<CUILibWindow> finished;
  {
    TimedLock lock(mutex_, TimedMutex::kInfinite);
    auto it = std::find_if(queued_.begin(), queued_.end(),
                           [](const std::unique_ptr<CUILibWindow>& w) {
                             // A window whose message handling is still on the stack (a handler
                             // that destroyed it runs a nested message loop) is kept for now.
                             return w->NativeHandle() == nullptr && !w->InDispatch();
                           });
    if (it == queued_.end()) return false;
    finished = std::move(*it);
    queued_.erase(it);
  }
  // Deleted outside the lock: element destructors may reach library code.
  finished.reset();
  return true;
}

size_t DeferredDeletion::Count() {
  TimedLock lock(mutex_, TimedMutex::kInfinite);
  return queued_.size();
}

bool DeferredDeletion::Contains(const CUILibWindow* window) {
  TimedLock lock(mutex_, TimedMutex::kInfinite);
  return std::any_of(queued_.begin(), queued_.end(),
                     [window](const std::unique_ptr<CUILibWindow>& w) { return w.get() == window; });
}

}  // namespace uilib
