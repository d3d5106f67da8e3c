// Sets range and page of the scroll bar element a label is linked to through
// `vscroll` (the scroll bar kind's client interface, Windows scroll records).
// Does nothing when `bar` is not a scroll bar kind or without Windows.
#pragma once

class CUILibElement;

namespace uilib {

void SetScrollBarRangeAndPage(CUILibElement* bar, int maximum, int page, bool redraw);

}  // namespace uilib
