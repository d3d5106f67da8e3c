#include <windows.h>

#include "uilib/element.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/scroll_link.h"
#include "uilib/win/native_scroll_bar_control.h"

namespace uilib {
namespace {

IUILibScrollBar* AsScrollBar(CUILibElement* bar) { return dynamic_cast<IUILibScrollBar*>(bar); }

}  // namespace

void SetLinkedScrollRange(CUILibElement* bar, int maximum, int page, bool redraw) {
  IUILibScrollBar* scroll_bar = AsScrollBar(bar);
  if (scroll_bar == nullptr) return;
  SCROLLINFO info = win::RangeAndPageInfo(maximum, page);
  scroll_bar->SetScrollInfo(&info, redraw ? TRUE : FALSE);
}

int LinkedScrollPosition(CUILibElement* bar) {
  IUILibScrollBar* scroll_bar = AsScrollBar(bar);
  return scroll_bar != nullptr ? scroll_bar->GetScrollPos() : 0;
}

void SetLinkedScrollPosition(CUILibElement* bar, int position) {
  if (IUILibScrollBar* scroll_bar = AsScrollBar(bar)) scroll_bar->SetScrollPos(position, TRUE);
}

}  // namespace uilib
