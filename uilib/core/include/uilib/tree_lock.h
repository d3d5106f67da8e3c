// The library's tree mutex as elements see it. The library object implements
// this when it guards its trees against the render thread; operations that
// destroy elements (`RemoveOverlay`, `Rebuild`) take it for at most 2000 ms
// and are skipped when they cannot. A library without it needs no lock.
#pragma once

#include <cstdint>

class IUILib;

namespace uilib {

inline constexpr std::uint32_t kTreeLockTimeoutMs = 2000;

class TreeLockSource {
 public:
  virtual bool TryLockTree(std::uint32_t timeout_ms) = 0;
  virtual void UnlockTree() = 0;

 protected:
  ~TreeLockSource() = default;
};

// Holds the tree lock of `lib` (when it has one) for a scope.
class ScopedTreeLock {
 public:
  explicit ScopedTreeLock(IUILib* lib);
  ~ScopedTreeLock();
  ScopedTreeLock(const ScopedTreeLock&) = delete;
  ScopedTreeLock& operator=(const ScopedTreeLock&) = delete;
  bool Acquired() const { return acquired_; }

 private:
  TreeLockSource* source_ = nullptr;
  bool acquired_ = true;
};

}  // namespace uilib
