#include "uilib/scroll_links.h"

#include <algorithm>

namespace uilib {

void ScrollLinks::Add(CUILibElement* element, const std::string& scroll_bar_id, bool wheel_forwarder) {
  Link link{element, scroll_bar_id, wheel_forwarder};
  if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(std::move(link));
}

void ScrollLinks::Remove(const CUILibElement* element) {
  std::erase_if(links_, [element](const Link& link) { return link.element == element; });
}

}  // namespace uilib
