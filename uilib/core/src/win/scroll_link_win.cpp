#include <windows.h>

#include "uilib/element.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/scroll_link.h"

namespace uilib {
namespace {

IUILibScrollBar* AsScrollBar(CUILibElement* bar) { return dynamic_cast<IUILibScrollBar*>(bar); }

}  // namespace

void SetLinkedScrollRange(CUILibElement* bar, int maximum, int page) {
  IUILibScrollBar* scroll_bar = AsScrollBar(bar);
  if (scroll_bar == nullptr) return;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE;
  info.nMin = 0;
  info.nMax = maximum;
  info.nPage = page > 0 ? static_cast<UINT>(page) : 0u;
  scroll_bar->SetScrollInfo(&info, FALSE);
}

int LinkedScrollPosition(CUILibElement* bar) {
  IUILibScrollBar* scroll_bar = AsScrollBar(bar);
  return scroll_bar != nullptr ? scroll_bar->GetScrollPos() : 0;
}

void SetLinkedScrollPosition(CUILibElement* bar, int position) {
  if (IUILibScrollBar* scroll_bar = AsScrollBar(bar)) scroll_bar->SetScrollPos(position, TRUE);
}

}  // namespace uilib
