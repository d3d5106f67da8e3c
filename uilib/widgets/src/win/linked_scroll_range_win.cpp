#include "uilib/widgets/linked_scroll_range.h"

#include <windows.h>

#include "uilib/element.h"
#include "uilib/iuilib_kinds.h"

namespace uilib {

void SetScrollBarRangeAndPage(CUILibElement* bar, int maximum, int page, bool redraw) {
  auto* scroll_bar = dynamic_cast<IUILibScrollBar*>(bar);
  if (scroll_bar == nullptr) return;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE;
  info.nMin = 0;
  info.nMax = maximum;
  info.nPage = page > 0 ? static_cast<UINT>(page) : 0u;
  scroll_bar->SetScrollInfo(&info, redraw ? TRUE : FALSE);
}

}  // namespace uilib
