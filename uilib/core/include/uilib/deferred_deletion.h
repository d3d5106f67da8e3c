// Windows that the client destroyed wait here until their native window has
// finished its destruction; the deletion timer then deletes them one per tick.
#pragma once

#include <memory>
#include <vector>

#include "uilib/timed_mutex.h"

class CUILibWindow;

namespace uilib {

class DeferredDeletion {
 public:
  DeferredDeletion();
  ~DeferredDeletion();
  DeferredDeletion(const DeferredDeletion&) = delete;
  DeferredDeletion& operator=(const DeferredDeletion&) = delete;

  void Queue(std::unique_ptr<CUILibWindow> window);
  // Deletes the first queued window whose native window is gone and whose
  // messages are no longer being handled (element tree and all). At most one
  // per call; true when one was deleted.
  bool Tick();
  size_t Count();
  bool Contains(const CUILibWindow* window);

 private:
  TimedMutex mutex_;
  std::vector<std::unique_ptr<CUILibWindow>> queued_;
};

}  // namespace uilib
