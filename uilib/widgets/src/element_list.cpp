#include "uilib/widgets/element_list.h"

#include <algorithm>

#include "uilib/element.h"
#include "uilib/widgets/widget_state.h"

namespace uilib {

void ElementList::Add(CUILibElement* element) {
  TimedLock lock(mutex_, TimedMutex::kInfinite);
  if (std::find(elements_.begin(), elements_.end(), element) == elements_.end()) elements_.push_back(element);
}

void ElementList::Remove(CUILibElement* element) {
  TimedLock lock(mutex_, TimedMutex::kInfinite);
  elements_.erase(std::remove(elements_.begin(), elements_.end(), element), elements_.end());
}

bool ElementList::Contains(const CUILibElement* element) {
  TimedLock lock(mutex_, TimedMutex::kInfinite);
  return std::find(elements_.begin(), elements_.end(), element) != elements_.end();
}

bool ElementList::Empty() {
  TimedLock lock(mutex_, TimedMutex::kInfinite);
  return elements_.empty();
}

void ElementList::ForEach(const std::function<void(CUILibElement*)>& visit) {
  TimedLock lock(mutex_, TimedMutex::kInfinite);
  // A copy: a visit may make an element leave the list.
  const std::vector<CUILibElement*> elements = elements_;
  for (CUILibElement* element : elements) visit(element);
}

void ElementList::RepaintUnion() {
  TimedLock lock(mutex_, TimedMutex::kInfinite);
  if (elements_.empty()) return;
  RepaintRect all = ScrolledRepaintRect(elements_.front()->Rect(), elements_.front()->ScrollOffset());
  for (CUILibElement* element : elements_) {
    const RepaintRect r = ScrolledRepaintRect(element->Rect(), element->ScrollOffset());
    all.left = std::min(all.left, r.left);
    all.top = std::min(all.top, r.top);
    all.right = std::max(all.right, r.right);
    all.bottom = std::max(all.bottom, r.bottom);
  }
  if (WindowServices* services = elements_.front()->Services()) services->RequestRepaint(all);
}

}  // namespace uilib
