// Native vertical scroll bars of skinned windows: their creation for elements
// with overflow `scroll`, the mouse wheel, and WM_VSCROLL with the offsets it
// hands to the scrolled element's children.
#include <windowsx.h>

#include "uilib/iuilib.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/scroll_math.h"
#include "uilib/tree_lock.h"
#include "uilib/win/skinned_window.h"

namespace uilib::win {
namespace {

bool Contains(const CUILibElement* element, PointF point) {
  const RectF& r = element->Rect();
  const float top = r.y - static_cast<float>(element->ScrollOffset());
  return point.x >= r.x && point.x < r.x + r.w && point.y >= top && point.y < top + r.h;
}

bool IsSelfOrAncestor(const CUILibElement* candidate, const CUILibElement* element) {
  for (const CUILibElement* e = element; e != nullptr; e = e->Parent()) {
    if (e == candidate) return true;
  }
  return false;
}

}  // namespace

HWND SkinnedWindow::CreateScrollBarControl(CUILibElement* element) {
  if (element == nullptr || hwnd() == nullptr) return nullptr;
  HWND control = CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 0, 0, hwnd(),
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
  if (control != nullptr) native_scroll_bars_[control] = element;
  return control;
}

void SkinnedWindow::OnMouseWheel(WPARAM wparam, LPARAM lparam) {
  POINT screen{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  ScreenToClient(hwnd(), &screen);
  const PointF point{static_cast<float>(screen.x), static_cast<float>(screen.y)};
  CUILibElement* hit = HitTest(point);
  if (hit == nullptr) return;
  // One line per wheel message, whatever its delta.
  const WPARAM step = GET_WHEEL_DELTA_WPARAM(wparam) >= 0 ? SB_LINEUP : SB_LINEDOWN;
  const auto under_pointer = [&](const CUILibElement* element) {
    return IsSelfOrAncestor(element, hit) && Contains(element, point);
  };
  for (const auto& [control, element] : native_scroll_bars_) {
    if (under_pointer(element)) PostMessage(WM_VSCROLL, step, reinterpret_cast<LPARAM>(control));
  }
  // Skinned scroll bars: those named by `vscroll` and `fire-vscroll` of the
  // elements under the pointer, and any scroll bar that is under it itself.
  for (const ScrollLinks::Link& link : scroll_links_.All()) {
    if (!under_pointer(link.element)) continue;
    if (CUILibElement* bar = FindScrollBar(link.scroll_bar_id)) {
      PostMessage(WM_VSCROLL, step, reinterpret_cast<LPARAM>(bar));
    }
  }
  for (CUILibElement* e = hit; e != nullptr; e = e->Parent()) {
    if (dynamic_cast<IUILibScrollBar*>(e) != nullptr) PostMessage(WM_VSCROLL, step, reinterpret_cast<LPARAM>(e));
  }
}

CUILibElement* SkinnedWindow::FindScrollBar(const std::string& id) {
  std::vector<IUILibElement*> found;
  FindElementsById(found, id.c_str());
  // A later scroll bar with the same id replaces an earlier one.
  for (auto it = found.rbegin(); it != found.rend(); ++it) {
    if (dynamic_cast<IUILibScrollBar*>(*it) != nullptr) return dynamic_cast<CUILibElement*>(*it);
  }
  return nullptr;
}

void SkinnedWindow::OnVScroll(WPARAM wparam, HWND control) {
  auto found = native_scroll_bars_.find(control);
  // Requests for skinned scroll bar elements are the scroll bar kind's to
  // handle; requests naming nothing known do nothing.
  if (found == native_scroll_bars_.end()) return;
  CUILibElement* scrolled = found->second;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(control, SB_CTL, &info)) return;
  const ScrollState state{static_cast<int>(info.nPage), info.nMin, info.nMax, info.nPos};
  const int code = LOWORD(wparam);
  const bool thumb = code == SB_THUMBTRACK || code == SB_THUMBPOSITION;
  const int track = thumb ? ThumbTrackPosition(HIWORD(wparam), info.nTrackPos) : static_cast<short>(HIWORD(wparam));
  const ScrollOutcome outcome = ComputeScroll(code, track, state);
  if (LOWORD(wparam) == SB_ENDSCROLL) return;
  {
    // The scroll offsets move what the render thread paints.
    ScopedTreeChange change(Library(), "scroll");
    SetScrollPos(control, SB_CTL, outcome.position, TRUE);
    PropagateScrollOffset(scrolled, outcome.position);
  }
  if (outcome.at_end || outcome.at_start) NotifyProvider(scrolled, outcome.at_end);
  if (!outcome.changed) return;
  // The content area without the scroll bar strip (and the border lines).
  const RectF& r = scrolled->Rect();
  const int border = scrolled->Style().Values().border.width > 0.0f ? 1 : 0;
  const int top = TruncToInt(r.y) - scrolled->ScrollOffset();
  RECT area{TruncToInt(r.x), top + border, TruncToInt(r.x + r.w) - kScrollBarStripPx, top + TruncToInt(r.h) - border};
  if (layered_) {
    RequestRepaint(RepaintRect{area.left, area.top, area.right, area.bottom});
    return;
  }
  updates_locked_ = LockWindowUpdate(hwnd()) != FALSE;
  ScrollWindowEx(hwnd(), 0, state.position - outcome.position, &area, &area, nullptr, nullptr, SW_INVALIDATE);
  ReleaseUpdateLock();
  UpdateWindow(hwnd());
}

void SkinnedWindow::NotifyProvider(CUILibElement* scrolled, bool at_end) {
  auto* provider = static_cast<IUILibItemProvider*>(BoundHandler(*scrolled, "provider"));
  auto* provider2 = dynamic_cast<IUILibItemProvider2*>(provider);
  if (provider2 == nullptr) return;
  if (at_end) {
    provider2->OnScrolledToEnd();
  } else {
    provider2->OnScrolledToStart();
  }
}

}  // namespace uilib::win
