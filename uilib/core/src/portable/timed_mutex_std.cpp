#include <condition_variable>
#include <mutex>
#include <thread>

#include "uilib/timed_mutex.h"

namespace uilib {

// A recursive mutex with timed waits made of a plain mutex and a condition
// variable (std::recursive_timed_mutex waits with pthread_mutex_clocklock,
// which ThreadSanitizer does not see, so it would report every timed lock).
struct TimedMutex::Impl {
  std::mutex state;
  std::condition_variable released;
  std::thread::id owner;
  unsigned depth = 0;
};

TimedMutex::TimedMutex() : impl_(std::make_unique<Impl>()) {}
TimedMutex::~TimedMutex() = default;

bool TimedMutex::Lock(std::uint32_t timeout_ms) {
  std::unique_lock<std::mutex> lock(impl_->state);
  const std::thread::id self = std::this_thread::get_id();
  if (impl_->depth > 0 && impl_->owner == self) {
    ++impl_->depth;
    return true;
  }
  const auto free = [this] { return impl_->depth == 0; };
  if (timeout_ms == kInfinite) {
    impl_->released.wait(lock, free);
  } else if (!impl_->released.wait_for(lock, std::chrono::milliseconds(timeout_ms), free)) {
    return false;
  }
  impl_->owner = self;
  impl_->depth = 1;
  return true;
}

void TimedMutex::Unlock() {
  std::lock_guard<std::mutex> lock(impl_->state);
  if (impl_->depth == 0 || impl_->owner != std::this_thread::get_id()) return;
  if (--impl_->depth == 0) {
    impl_->owner = std::thread::id();
    impl_->released.notify_one();
  }
}

}  // namespace uilib
