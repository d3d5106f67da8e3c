// The `vscroll` and `fire-vscroll` registrations of a window: which element
// is scrolled by, or forwards its wheel turns to, the scroll bar of which id.
// An element attaches again each time its subtree is rebuilt; a link is kept
// once, so that one wheel turn makes one scroll request per link.
#pragma once

#include <string>
#include <vector>

class CUILibElement;

namespace uilib {

class ScrollLinks {
 public:
  struct Link {
    CUILibElement* element;
    std::string scroll_bar_id;
    bool wheel_forwarder;
    bool operator==(const Link&) const = default;
  };

  // Adds the link unless it is registered already.
  void Add(CUILibElement* element, const std::string& scroll_bar_id, bool wheel_forwarder);
  // Drops every link of an element that is being destroyed.
  void Remove(const CUILibElement* element);
  void Clear() { links_.clear(); }
  const std::vector<Link>& All() const { return links_; }

 private:
  std::vector<Link> links_;
};

}  // namespace uilib
