#include "uilib/win/shadow_window.h"

#include "uilib/win/resource_image.h"
#include "uilib/win/uilib_runtime.h"

namespace uilib::win {
namespace {

constexpr UINT kQuietFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER;

HINSTANCE Instance() {
  Runtime* runtime = ActiveRuntime();
  return runtime != nullptr && runtime->module != nullptr ? runtime->module : GetModuleHandleW(nullptr);
}

}  // namespace

std::unique_ptr<CShadowWindow> CShadowWindow::Create(HWND owner, std::string_view border, int offset_x, int offset_y) {
  ImageRef image = ResolveImageRef(border);
  if (!image || owner == nullptr) return nullptr;
  const int width = static_cast<int>(image.image->GetWidth());
  const int height = static_cast<int>(image.image->GetHeight());
  auto surface = std::make_unique<LayeredSurface>(width, height);
  if (!surface->Ok()) return nullptr;
  surface->DrawImage(image.image);

  std::unique_ptr<CShadowWindow> shadow(new CShadowWindow(owner, offset_x, offset_y));
  GetWindowRect(owner, &shadow->owner_rect_);
  velko::window::WindowCreateParams params;
  params.rect = RECT{shadow->owner_rect_.left - offset_x, shadow->owner_rect_.top - offset_y,
                     shadow->owner_rect_.left - offset_x + width, shadow->owner_rect_.top - offset_y + height};
  params.style = WS_POPUP | WS_VISIBLE;
  params.ex_style = WS_EX_LAYERED | WS_EX_TOOLWINDOW;
  if (shadow->velko::window::WindowBase::Create(Instance(), params) == nullptr) return nullptr;
  // Drawn once: the decoration never paints again.
  surface->Push(shadow->hwnd(), POINT{params.rect.left, params.rect.top}, SIZE{width, height}, 255);
  shadow->picture_ = std::move(surface);
  {
    // Directly behind the owner from the start.
    ScopedMark mark(*shadow);
    SetWindowPos(shadow->hwnd(), owner, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  shadow->SetTimer(kDecorationFocusTimer, kDecorationFocusMs);
  return shadow;
}

CShadowWindow::ScopedMark::ScopedMark(CShadowWindow& shadow) : shadow_(shadow) {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  shadow_.marker_ = static_cast<LPARAM>(static_cast<DWORD>(counter.LowPart));
  shadow_.previous_extra_info_ = SetMessageExtraInfo(shadow_.marker_);
}

CShadowWindow::ScopedMark::~ScopedMark() { SetMessageExtraInfo(shadow_.previous_extra_info_); }

bool CShadowWindow::Marked() const { return GetMessageExtraInfo() == marker_; }

void CShadowWindow::OnOwnerMessage(UINT message, WPARAM, LPARAM lparam) {
  switch (message) {
    case WM_WINDOWPOSCHANGING:
      if (!Marked()) OnOwnerPositionChanging(*reinterpret_cast<const WINDOWPOS*>(lparam));
      break;
    case WM_WINDOWPOSCHANGED:
      OnOwnerPositionChanged(*reinterpret_cast<const WINDOWPOS*>(lparam));
      break;
    case WM_DESTROY:
      DestroyWindow();
      break;
    default:
      break;
  }
}

void CShadowWindow::OnOwnerPositionChanging(const WINDOWPOS& change) {
  if (!IsWindow()) return;
  if ((change.flags & SWP_NOMOVE) == 0) {
    ScopedMark mark(*this);
    SetWindowPos(hwnd(), nullptr, change.x - offset_x_, change.y - offset_y_, 0, 0,
                 SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOSIZE);
  }
  // The decoration goes behind the owner without being activated: an active
  // decoration would take the activation from the owner.
  if ((change.flags & SWP_NOZORDER) == 0) {
    ScopedMark mark(*this);
    SetWindowPos(hwnd(), owner_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if ((change.flags & SWP_HIDEWINDOW) != 0) {
    ScopedMark mark(*this);
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, kQuietFlags | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  }
  if ((change.flags & SWP_SHOWWINDOW) != 0) {
    ScopedMark mark(*this);
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, kQuietFlags | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
}

void CShadowWindow::OnOwnerPositionChanged(const WINDOWPOS& change) {
  if ((change.flags & SWP_NOMOVE) == 0) {
    owner_rect_.right += change.x - owner_rect_.left;
    owner_rect_.bottom += change.y - owner_rect_.top;
    owner_rect_.left = change.x;
    owner_rect_.top = change.y;
  }
  if ((change.flags & SWP_NOSIZE) == 0) {
    owner_rect_.right = owner_rect_.left + change.cx;
    owner_rect_.bottom = owner_rect_.top + change.cy;
  }
  if ((change.flags & SWP_NOZORDER) == 0) owner_insert_after_ = change.hwndInsertAfter;
}

bool CShadowWindow::ProcessWindowMessage(HWND, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  switch (message) {
    case WM_WINDOWPOSCHANGING: {
      auto* change = reinterpret_cast<WINDOWPOS*>(lparam);
      if (Marked() || (change->flags & SWP_NOZORDER) != 0) return false;
      // A z-order change not of our making (the user clicked the
      // decoration): cancelled here, applied to both windows later.
      pending_.push_back(*change);
      change->flags = kQuietFlags;
      PostMessage(kMsgApplyDecorationChange);
      result = 0;
      return true;
    }
    case kMsgApplyDecorationChange:
      ApplyPendingChange();
      result = 0;
      return true;
    case WM_TIMER:
      if (wparam != kDecorationFocusTimer) return false;
      OnFocusTimer();
      result = 0;
      return true;
    default:
      return false;
  }
}

void CShadowWindow::ApplyPendingChange() {
  if (pending_.empty()) return;
  ScopedMark mark(*this);
  const WINDOWPOS change = pending_.front();
  pending_.pop_front();
  HDWP batch = BeginDeferWindowPos(2);
  if (batch == nullptr) return;
  batch = DeferWindowPos(batch, owner_, change.hwndInsertAfter, change.x, change.y, change.cx, change.cy, change.flags);
  // The decoration goes directly behind the owner, wherever the change puts
  // the owner: with the same insert-after window it would end in front.
  if (batch != nullptr) {
    batch = DeferWindowPos(batch, hwnd(), owner_, change.x - offset_x_, change.y - offset_y_, change.cx, change.cy,
                           change.flags | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (batch != nullptr) EndDeferWindowPos(batch);
}

void CShadowWindow::OnFocusTimer() {
  if (GetFocus() == hwnd()) SetFocus(owner_);
  if (GetFocus() == hwnd()) {
    SetTimer(kDecorationFocusTimer, kDecorationFocusIdleMs);
  } else if (GetFocus() == owner_) {
    SetTimer(kDecorationFocusTimer, kDecorationFocusMs);
  }
}

}  // namespace uilib::win
