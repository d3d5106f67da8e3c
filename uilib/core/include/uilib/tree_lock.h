// The library's tree mutex as elements see it. The library object implements
// this when it guards its trees against the render thread, which paints
// non-layered windows under the mutex. A library without it needs no lock.
//  - ScopedTreeLock: the operations that destroy elements and whose skip is
//    part of their contract (`RemoveOverlay`, `Rebuild`, a window's
//    destruction of its children) try for at most 2000 ms and are skipped
//    when they cannot.
//  - ScopedTreeChange: every other change that the render thread can observe
//    (texts, children, style records, images, layout). It waits until the
//    render thread's current batch of repaints has ended: the change is
//    delayed, never skipped.
#pragma once

#include <cstdint>

class IUILib;

namespace uilib {

inline constexpr std::uint32_t kTreeLockTimeoutMs = 2000;
inline constexpr std::uint32_t kTreeLockNoLimit = 0xFFFFFFFFu;

class TreeLockSource {
 public:
  // `timeout_ms` kTreeLockNoLimit waits without limit.
  virtual bool TryLockTree(std::uint32_t timeout_ms) = 0;
  virtual void UnlockTree() = 0;

 protected:
  ~TreeLockSource() = default;
};

// Holds the tree lock of `lib` (when it has one) for a scope.
class ScopedTreeLock {
 public:
  explicit ScopedTreeLock(IUILib* lib, std::uint32_t timeout_ms = kTreeLockTimeoutMs);
  ~ScopedTreeLock();
  ScopedTreeLock(const ScopedTreeLock&) = delete;
  ScopedTreeLock& operator=(const ScopedTreeLock&) = delete;
  bool Acquired() const { return acquired_; }

 private:
  TreeLockSource* source_ = nullptr;
  bool acquired_ = true;
};

// Holds the tree lock of `lib` for a change, waiting as long as the render
// thread paints. Debug builds check that the change runs on the UI thread.
class ScopedTreeChange {
 public:
  ScopedTreeChange(IUILib* lib, const char* operation);

 private:
  ScopedTreeLock lock_;
};

}  // namespace uilib
