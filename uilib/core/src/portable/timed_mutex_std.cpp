#include <mutex>

#include "uilib/timed_mutex.h"

namespace uilib {

struct TimedMutex::Impl {
  std::recursive_timed_mutex mutex;
};

TimedMutex::TimedMutex() : impl_(std::make_unique<Impl>()) {}
TimedMutex::~TimedMutex() = default;

bool TimedMutex::Lock(std::uint32_t timeout_ms) {
  if (timeout_ms == kInfinite) {
    impl_->mutex.lock();
    return true;
  }
  return impl_->mutex.try_lock_for(std::chrono::milliseconds(timeout_ms));
}

void TimedMutex::Unlock() { impl_->mutex.unlock(); }

}  // namespace uilib
