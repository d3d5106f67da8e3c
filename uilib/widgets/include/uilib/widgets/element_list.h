// A library-wide list of elements visited by a timer (animated pictures,
// running fades and slides). Guarded by its own mutex: elements join it while
// painting, leave it when their transition ends or when they are destroyed,
// and the timer walks it, so a destroyed element is never reached.
#pragma once

#include <functional>
#include <vector>

#include "uilib/timed_mutex.h"

class CUILibElement;

namespace uilib {

class ElementList {
 public:
  void Add(CUILibElement* element);
  void Remove(CUILibElement* element);
  bool Contains(const CUILibElement* element);
  bool Empty();
  // Calls `visit` for each listed element with the list's mutex held.
  void ForEach(const std::function<void(CUILibElement*)>& visit);
  // One repaint request for the union of the listed elements' rectangles
  // (moved up by their scroll offsets), sent to the first element's window.
  void RepaintUnion();

 private:
  TimedMutex mutex_;
  std::vector<CUILibElement*> elements_;
};

}  // namespace uilib
