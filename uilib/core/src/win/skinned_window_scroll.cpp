// Scrolling in skinned windows: native vertical scroll bars (created for
// elements with overflow `scroll`) and scroll bar elements (registered by id,
// scrolling the elements whose `vscroll` names them), the mouse wheel, and
// WM_VSCROLL with the offsets it hands to the scrolled elements' children.
#include <windowsx.h>

#include "uilib/iuilib.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/element_watch.h"
#include "uilib/scroll_math.h"
#include "uilib/text_util.h"
#include "uilib/tree_lock.h"
#include "uilib/win/common_controls.h"
#include "uilib/win/native_scroll_bar_control.h"
#include "uilib/win/skinned_window.h"

namespace uilib::win {
namespace {

bool Contains(CUILibElement* element, PointF point) {
  const RectF& r = element->Rect();
  // An element scrolled by a scroll bar keeps its rectangle; its content moves.
  const int offset = element->LinkedScrollBar() != nullptr ? 0 : element->ScrollOffset();
  const float top = r.y - static_cast<float>(offset);
  return point.x >= r.x && point.x < r.x + r.w && point.y >= top && point.y < top + r.h;
}

// Scroll bar ids compare without regard to ASCII case, as ids do everywhere.
std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
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
  StartCommonControls();  // child controls are the common controls' (themed) kinds
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
  const auto under_pointer = [&](CUILibElement* element) {
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
  auto found = scroll_bars_.find(LowerAscii(id));
  return found != scroll_bars_.end() ? found->second : nullptr;
}

void SkinnedWindow::RegisterScrollBar(CUILibElement* bar, const std::string& id) {
  if (bar != nullptr && dynamic_cast<IUILibScrollBar*>(bar) != nullptr) scroll_bars_[LowerAscii(id)] = bar;
}

void SkinnedWindow::ForgetScrollBar(const CUILibElement* element) {
  std::erase_if(scroll_bars_, [element](const auto& entry) { return entry.second == element; });
}

void SkinnedWindow::SendScrollRequest(CUILibElement* bar, int code, int track) {
  SendMessage(WM_VSCROLL, MAKEWPARAM(code, track), reinterpret_cast<LPARAM>(bar));
}

void SkinnedWindow::OnVScroll(WPARAM wparam, LPARAM lparam) {
  const int code = LOWORD(wparam);
  auto native = native_scroll_bars_.find(reinterpret_cast<HWND>(lparam));
  if (native != native_scroll_bars_.end()) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(native->first, SB_CTL, &info);
    const bool thumb = code == SB_THUMBTRACK || code == SB_THUMBPOSITION;
    ScrollNativeBar(native->first, code,
                    thumb ? ThumbTrackPosition(HIWORD(wparam), info.nTrackPos) : static_cast<short>(HIWORD(wparam)));
    return;
  }
  // Requests for anything but a registered scroll bar element do nothing.
  for (const auto& [id, bar] : scroll_bars_) {
    if (reinterpret_cast<LPARAM>(bar) == lparam) {
      ScrollLinkedElements(id, bar, code, HIWORD(wparam));
      return;
    }
  }
}

void SkinnedWindow::ScrollLinkedElements(const std::string& id, CUILibElement* bar, int code, unsigned track_word) {
  auto* scroll_bar = dynamic_cast<IUILibScrollBar*>(bar);
  // Copied: a provider told of an end may rebuild the tree and the links.
  const std::vector<ScrollLinks::Link> links = scroll_links_.All();
  ElementWatch bar_watch(bar);
  for (const ScrollLinks::Link& link : links) {
    if (link.wheel_forwarder || LowerAscii(link.scroll_bar_id) != id) continue;
    if (!bar_watch.Alive()) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    scroll_bar->GetScrollInfo(&info);
    const ScrollState state{static_cast<int>(info.nPage), info.nMin, info.nMax, info.nPos};
    // The message has the low 16 bits of the track position, the bar all of them.
    const ScrollOutcome outcome = ComputeScroll(code, ThumbTrackPosition(track_word, info.nTrackPos), state);
    if (outcome.stop) return;
    ElementWatch scrolled(link.element);
    {
      ScopedTreeChange change(Library(), "scroll");
      scroll_bar->SetScrollPos(outcome.position, TRUE);
      GiveScrollOffset(link.element, outcome.position);
    }
    if (outcome.at_end || outcome.at_start) NotifyProvider(link.element, outcome.at_end);
    if (scrolled.Alive()) RepaintScrolled(link.element);
  }
}

void SkinnedWindow::GiveScrollOffset(CUILibElement* scrolled, int position) {
  // A label has no children: its text takes the offset.
  if (scrolled->Children().First() == nullptr && EqualsIgnoreCase(scrolled->Tag(), "label")) {
    scrolled->SetScrollOffset(position);
    return;
  }
  PropagateScrollOffset(scrolled, position);
}

void SkinnedWindow::RepaintScrolled(CUILibElement* scrolled) {
  const RectF& r = scrolled->Rect();
  const int border = scrolled->Style().Values().border.width > 0.0f ? 1 : 0;
  RequestRepaint(RepaintRect{TruncToInt(r.x), TruncToInt(r.y) + border, TruncToInt(r.x + r.w),
                             TruncToInt(r.y + r.h) - border});
}

bool SkinnedWindow::HandleScrollMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  if (message != kMsgRestoreThumbPosition) return false;
  ScrollNativeBar(reinterpret_cast<HWND>(lparam), SB_THUMBPOSITION, static_cast<int>(static_cast<UINT>(wparam)));
  result = 0;
  return true;
}

void SkinnedWindow::ScrollNativeBar(HWND control, int code, int track) {
  auto found = native_scroll_bars_.find(control);
  if (found == native_scroll_bars_.end()) return;
  CUILibElement* scrolled = found->second;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(control, SB_CTL, &info)) return;
  const ScrollState state{static_cast<int>(info.nPage), info.nMin, info.nMax, info.nPos};
  const ScrollOutcome outcome = ComputeScroll(code, track, state);
  if (code == SB_ENDSCROLL) return;
  {
    // The scroll offsets move what the render thread paints.
    ScopedTreeChange change(Library(), "scroll");
    if (NativeScrollBar* bar = scrolled->NativeScrollBarControl()) bar->SetPosition(outcome.position);
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
