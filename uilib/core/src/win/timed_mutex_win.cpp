#include <windows.h>

#include "uilib/timed_mutex.h"

namespace uilib {

struct TimedMutex::Impl {
  HANDLE mutex = nullptr;
};

TimedMutex::TimedMutex() : impl_(std::make_unique<Impl>()) {
  impl_->mutex = CreateMutexW(nullptr, FALSE, nullptr);
}

TimedMutex::~TimedMutex() {
  if (impl_->mutex != nullptr) CloseHandle(impl_->mutex);
}

bool TimedMutex::Lock(std::uint32_t timeout_ms) {
  // An abandoned mutex (its holder thread ended) is still ours now.
  DWORD wait = WaitForSingleObject(impl_->mutex, timeout_ms == kInfinite ? INFINITE : timeout_ms);
  return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

void TimedMutex::Unlock() { ReleaseMutex(impl_->mutex); }

}  // namespace uilib
