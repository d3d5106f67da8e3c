#include "uilib/element_watch.h"

namespace uilib {
namespace {

// The watches of this thread, newest first. Few exist at a time (one per
// event call on the stack), so an element's destruction walks a short list.
thread_local ElementWatch* g_watches = nullptr;

}  // namespace

ElementWatch::ElementWatch(CUILibElement* element) : element_(element), next_(g_watches) {
  if (next_ != nullptr) next_->previous_ = this;
  g_watches = this;
}

ElementWatch::~ElementWatch() {
  if (previous_ != nullptr) {
    previous_->next_ = next_;
  } else {
    g_watches = next_;
  }
  if (next_ != nullptr) next_->previous_ = previous_;
}

void ElementWatch::ElementDestroyed(const CUILibElement* element) {
  for (ElementWatch* watch = g_watches; watch != nullptr; watch = watch->next_) {
    if (watch->element_ == element) watch->element_ = nullptr;
  }
}

}  // namespace uilib
