#include "uilib/tree_lock.h"

#include "uilib/iuilib.h"

namespace uilib {

ScopedTreeLock::ScopedTreeLock(IUILib* lib) : source_(dynamic_cast<TreeLockSource*>(lib)) {
  if (source_ != nullptr) acquired_ = source_->TryLockTree(kTreeLockTimeoutMs);
}

ScopedTreeLock::~ScopedTreeLock() {
  if (source_ != nullptr && acquired_) source_->UnlockTree();
}

}  // namespace uilib
