#include "uilib/tree_lock.h"

#include "uilib/iuilib.h"
#include "uilib/ui_thread.h"

namespace uilib {

ScopedTreeLock::ScopedTreeLock(IUILib* lib, std::uint32_t timeout_ms)
    : source_(dynamic_cast<TreeLockSource*>(lib)) {
  if (source_ != nullptr) acquired_ = source_->TryLockTree(timeout_ms);
}

ScopedTreeLock::~ScopedTreeLock() {
  if (source_ != nullptr && acquired_) source_->UnlockTree();
}

namespace {

IUILib* CheckedLibrary(IUILib* lib, const char* operation) {
  CheckUiThread(operation);
  return lib;
}

}  // namespace

ScopedTreeChange::ScopedTreeChange(IUILib* lib, const char* operation)
    : lock_(CheckedLibrary(lib, operation), kTreeLockNoLimit) {}

}  // namespace uilib
