// The scroll bar an element is linked to by its `vscroll` attribute, driven
// through the scroll bar kind's client interface (Windows scroll records). In
// builds without Windows these do nothing and the position is 0.
#pragma once

class CUILibElement;

namespace uilib {

// Range 0..maximum and page, redrawn or not. Does nothing when `bar` is not a
// scroll bar kind.
void SetLinkedScrollRange(CUILibElement* bar, int maximum, int page, bool redraw = false);
int LinkedScrollPosition(CUILibElement* bar);
void SetLinkedScrollPosition(CUILibElement* bar, int position);

}  // namespace uilib
