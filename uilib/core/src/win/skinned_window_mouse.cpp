// Mouse input of skinned windows (routed by uilib::MouseRouter) and the
// window services elements ask for.
#include <windowsx.h>

#include "uilib/win/native_scroll_bar_control.h"
#include "uilib/win/skinned_window.h"

namespace uilib::win {
namespace {

constexpr UINT kForgetTimeoutMs = 1000;

PointF ClientPoint(LPARAM lparam) {
  return PointF{static_cast<float>(GET_X_LPARAM(lparam)), static_cast<float>(GET_Y_LPARAM(lparam))};
}

}  // namespace

bool SkinnedWindow::HandleMouseMessage(UINT message, WPARAM, LPARAM lparam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_MOUSEMOVE:
      router_.OnMouseMove(ClientPoint(lparam));
      return true;
    case WM_LBUTTONDOWN:
      router_.OnButtonDown(ClientPoint(lparam));
      return true;
    case WM_LBUTTONUP:
      router_.OnButtonUp(ClientPoint(lparam));
      return true;
    case WM_LBUTTONDBLCLK:
      router_.OnDoubleClick(ClientPoint(lparam));
      return true;
    case WM_MOUSELEAVE:
      router_.OnMouseLeaveWindow();
      return true;
    case WM_RBUTTONDOWN:
      right_pressed_ = HitTest(ClientPoint(lparam));
      return true;
    case WM_RBUTTONUP: {
      CUILibElement* pressed = std::exchange(right_pressed_, nullptr);
      if (pressed != nullptr && HitTest(ClientPoint(lparam)) == pressed) pressed->FireEvent("oncontextmenu");
      return true;
    }
    default:
      return false;
  }
}

void SkinnedWindow::ForgetEverywhere(CUILibElement* element) {
  if (element == nullptr) return;
  router_.Forget(element);
  if (right_pressed_ == element) right_pressed_ = nullptr;
  std::erase_if(child_controls_, [element](const auto& entry) { return entry.second == element; });
  ForgetScrollBar(element);
}

// WindowServices

void SkinnedWindow::RequestRepaint(std::optional<RepaintRect> rect) {
  if (hwnd() == nullptr) return;
  if (!rect) {
    SendMessage(kMsgRepaint, 0, 0);
    return;
  }
  RECT r{rect->left, rect->top, rect->right, rect->bottom};
  SendMessage(kMsgRepaint, reinterpret_cast<WPARAM>(&r), 0);
}

void SkinnedWindow::RequestRelayout() { SendMessage(kMsgRelayout, 0, 0); }

void SkinnedWindow::TrackElement(CUILibElement* element) {
  SendMessage(kMsgTrackElement, reinterpret_cast<WPARAM>(element), 0);
}

void SkinnedWindow::ForgetElement(CUILibElement* element) {
  if (hwnd() == nullptr) return;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(hwnd(), kMsgForgetElement, reinterpret_cast<WPARAM>(element), 0, SMTO_NORMAL, kForgetTimeoutMs,
                      &ignored);
}

void SkinnedWindow::HideTooltip(CUILibElement* element) {
  SendMessage(kMsgTooltip, 0, reinterpret_cast<LPARAM>(element));
}

std::unique_ptr<NativeScrollBar> SkinnedWindow::CreateNativeScrollBar(CUILibElement* element) {
  HWND control = nullptr;
  SendMessage(kMsgCreateScrollBar, reinterpret_cast<WPARAM>(element), reinterpret_cast<LPARAM>(&control));
  if (control == nullptr) return nullptr;
  return std::make_unique<win::NativeScrollBarControl>(control, [this, control] { native_scroll_bars_.erase(control); });
}

IUILibElement* SkinnedWindow::CaptureMouse(CUILibElement* element) {
  CUILibElement* previous = router_.Capture(element);
  if (hwnd() != nullptr) ::SetCapture(hwnd());
  return previous;
}

void SkinnedWindow::ReleaseMouse() {
  router_.ReleaseCapture();
  if (::GetCapture() == hwnd()) ::ReleaseCapture();
}

void SkinnedWindow::RegisterScrolled(CUILibElement* element, const std::string& scroll_bar_id) {
  scroll_links_.Add(element, scroll_bar_id, false);
}

void SkinnedWindow::RegisterWheelForwarder(CUILibElement* element, const std::string& scroll_bar_id) {
  scroll_links_.Add(element, scroll_bar_id, true);
}

void SkinnedWindow::UnregisterScrollLinks(CUILibElement* element) { scroll_links_.Remove(element); }

void SkinnedWindow::RegisterChildControl(NativeWindow control, CUILibElement* element) {
  if (control != nullptr && element != nullptr) child_controls_[control] = element;
}

void SkinnedWindow::UnregisterChildControl(NativeWindow control) { child_controls_.erase(control); }

void SkinnedWindow::StartAnimationTimer(std::uintptr_t timer_id) {
  if (SetTimer(timer_id, 1)) animation_timers_.insert(timer_id);
}

void SkinnedWindow::KillAnimationTimer(std::uintptr_t timer_id) {
  KillTimer(timer_id);
  animation_timers_.erase(timer_id);
}

PointF SkinnedWindow::CursorClientPosition() {
  POINT cursor{};
  GetCursorPos(&cursor);
  if (hwnd() != nullptr) ScreenToClient(hwnd(), &cursor);
  return PointF{static_cast<float>(cursor.x), static_cast<float>(cursor.y)};
}

// MouseRouterHost

bool SkinnedWindow::IsPopupWithoutCaption() {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_STYLE));
  return (style & WS_POPUP) != 0 && (style & WS_BORDER) == 0 && (style & WS_DLGFRAME) == 0;
}

PointI SkinnedWindow::CursorScreenPosition() {
  // Where the cursor was when the message being handled was posted: the
  // cursor may have moved on since, and a drag must follow the messages.
  const DWORD position = GetMessagePos();
  return PointI{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
}

PointI SkinnedWindow::WindowOrigin() {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return PointI{r.left, r.top};
}

void SkinnedWindow::MoveWindowTo(PointI origin) {
  SetWindowPos(hwnd(), nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SkinnedWindow::CaptureForDrag() { ::SetCapture(hwnd()); }

void SkinnedWindow::TakeFocus() { ::SetFocus(hwnd()); }

void SkinnedWindow::StartDeferredClickTimer() { SetTimer(kDeferredClickTimer, GetDoubleClickTime()); }

void SkinnedWindow::KillDeferredClickTimer() { KillTimer(kDeferredClickTimer); }

void SkinnedWindow::RequestLeaveNotification() {
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
  TrackMouseEvent(&track);
}

void SkinnedWindow::SetCursor(Cursor cursor) {
  HCURSOR handle = LoadCursorW(nullptr, cursor == Cursor::kHand ? IDC_HAND : IDC_ARROW);
  SetClassLongPtrW(hwnd(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(handle));
  ::SetCursor(handle);
}

}  // namespace uilib::win
