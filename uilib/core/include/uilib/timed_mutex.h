// A recursive mutex with timed waits: one of the library's unnamed locks (tree,
// deletion list, render queue). On Windows it is a kernel mutex, elsewhere a
// std::recursive_timed_mutex; both may be taken again by the thread that holds
// them.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

namespace uilib {

class TimedMutex {
 public:
  static constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

  TimedMutex();
  ~TimedMutex();
  TimedMutex(const TimedMutex&) = delete;
  TimedMutex& operator=(const TimedMutex&) = delete;

  // True when the mutex was obtained within `timeout_ms` (kInfinite: no limit).
  bool Lock(std::uint32_t timeout_ms);
  void Unlock();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Holds a TimedMutex for a scope when it was obtained in time.
class TimedLock {
 public:
  TimedLock(TimedMutex& mutex, std::uint32_t timeout_ms) : mutex_(mutex), owned_(mutex.Lock(timeout_ms)) {}
  ~TimedLock() {
    if (owned_) mutex_.Unlock();
  }
  TimedLock(const TimedLock&) = delete;
  TimedLock& operator=(const TimedLock&) = delete;

  bool Owned() const { return owned_; }
  explicit operator bool() const { return owned_; }

 private:
  TimedMutex& mutex_;
  bool owned_;
};

}  // namespace uilib
