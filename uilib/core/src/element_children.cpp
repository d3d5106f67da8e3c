#include "uilib/element.h"

namespace uilib {

CUILibElement* ElementChildren::Next(const CUILibElement* child) const {
  return child->next_ == first_ ? nullptr : child->next_;
}

void ElementChildren::Append(std::unique_ptr<CUILibElement> owned) {
  CUILibElement* child = owned.release();
  if (first_ == nullptr) {
    child->previous_ = child->next_ = child;
    first_ = child;
    return;
  }
  CUILibElement* last = first_->previous_;
  child->previous_ = last;
  child->next_ = first_;
  last->next_ = child;
  first_->previous_ = child;
}

void ElementChildren::Prepend(std::unique_ptr<CUILibElement> owned) {
  CUILibElement* child = owned.get();
  Append(std::move(owned));
  first_ = child;  // the list is circular: the appended last becomes the first
}

void ElementChildren::DeleteAll() {
  CUILibElement* child = first_;
  first_ = nullptr;
  while (child != nullptr) {
    CUILibElement* next = child->next_;
    if (next == child) next = nullptr;
    // Unlink before deleting so that the rest of the ring stays consistent.
    child->previous_->next_ = child->next_;
    child->next_->previous_ = child->previous_;
    delete child;
    child = next;
  }
}

size_t ElementChildren::Count() const {
  size_t count = 0;
  for (const CUILibElement* c = first_; c != nullptr; c = Next(c)) ++count;
  return count;
}

}  // namespace uilib
