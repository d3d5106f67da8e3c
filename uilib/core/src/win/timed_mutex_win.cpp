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
  if (timeout_ms != kInfinite) {
    // An abandoned mutex (its holder thread ended) is still ours now.
    const DWORD wait = WaitForSingleObject(impl_->mutex, timeout_ms);
    return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  }
  // A wait without limit still answers messages that other threads send to
  // this thread's windows: the holder (the render thread, painting) may be
  // waiting for such an answer, and would otherwise never release the mutex.
  for (;;) {
    const DWORD wait = MsgWaitForMultipleObjectsEx(1, &impl_->mutex, INFINITE, QS_SENDMESSAGE, 0);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED_0) return true;
    if (wait != WAIT_OBJECT_0 + 1) return false;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void TimedMutex::Unlock() { ReleaseMutex(impl_->mutex); }

}  // namespace uilib
