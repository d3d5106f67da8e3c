#include "velko/window/window_base.h"

namespace velko::window {
namespace {

// The owning object lives in the window's first extra bytes, so GWLP_USERDATA
// stays free for whoever else wants it.
constexpr int kObjectSlot = 0;

}  // namespace

WindowBase::~WindowBase() {
  if (hwnd_ != nullptr) {
    HWND hwnd = hwnd_;
    ::SetWindowLongPtrW(hwnd, kObjectSlot, 0);
    hwnd_ = nullptr;
    ::DestroyWindow(hwnd);
  }
}

bool WindowBase::EnsureClassRegistered(HINSTANCE instance) const {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(instance, WindowClassName(), &existing) != FALSE) {
    // A class of that name that is not ours would never route to this object.
    return existing.lpfnWndProc == &WindowBase::WindowProc;
  }
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &WindowBase::WindowProc;
  window_class.cbWndExtra = sizeof(LONG_PTR);
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = WindowClassName();
  CustomizeWindowClass(window_class);
  // Whatever the customisation did, the routing must stay ours.
  window_class.lpfnWndProc = &WindowBase::WindowProc;
  window_class.cbWndExtra = window_class.cbWndExtra < static_cast<int>(sizeof(LONG_PTR))
                                ? static_cast<int>(sizeof(LONG_PTR))
                                : window_class.cbWndExtra;
  window_class.lpszClassName = WindowClassName();
  return ::RegisterClassExW(&window_class) != 0 ||
         ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND WindowBase::Create(HINSTANCE instance, const WindowCreateParams& params) {
  if (hwnd_ != nullptr || !EnsureClassRegistered(instance)) {
    return nullptr;
  }
  const RECT& r = params.rect;
  // WindowProc attaches the object at WM_NCCREATE; a failed creation passes
  // through WM_NCDESTROY, which detaches it again.
  ::CreateWindowExW(params.ex_style, WindowClassName(), params.title, params.style, r.left, r.top,
                    r.right - r.left, r.bottom - r.top, params.parent, params.menu_or_child_id,
                    instance, this);
  return hwnd_;
}

bool WindowBase::DestroyWindow() {
  return hwnd_ != nullptr && ::DestroyWindow(hwnd_) != FALSE;
}

bool WindowBase::PostMessage(UINT message, WPARAM wparam, LPARAM lparam) const {
  return hwnd_ != nullptr && ::PostMessageW(hwnd_, message, wparam, lparam) != FALSE;
}

LRESULT WindowBase::SendMessage(UINT message, WPARAM wparam, LPARAM lparam) const {
  return hwnd_ != nullptr ? ::SendMessageW(hwnd_, message, wparam, lparam) : 0;
}

bool WindowBase::SetTimer(UINT_PTR timer_id, UINT elapse_ms) {
  return hwnd_ != nullptr && ::SetTimer(hwnd_, timer_id, elapse_ms, nullptr) != 0;
}

bool WindowBase::KillTimer(UINT_PTR timer_id) {
  return hwnd_ != nullptr && ::KillTimer(hwnd_, timer_id) != FALSE;
}

WindowBase* WindowBase::FromHandle(HWND hwnd) {
  if (hwnd == nullptr ||
      ::GetClassLongPtrW(hwnd, GCLP_WNDPROC) !=
          reinterpret_cast<ULONG_PTR>(&WindowBase::WindowProc)) {
    return nullptr;
  }
  return reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(hwnd, kObjectSlot));
}

LRESULT CALLBACK WindowBase::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    auto* self = static_cast<WindowBase*>(create->lpCreateParams);
    if (self != nullptr) {
      self->hwnd_ = hwnd;
      ::SetWindowLongPtrW(hwnd, kObjectSlot, reinterpret_cast<LONG_PTR>(self));
    }
  }
  auto* self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(hwnd, kObjectSlot));
  if (self == nullptr) {
    return ::DefWindowProcW(hwnd, message, wparam, lparam);
  }
  LRESULT result = 0;
  if (!self->ProcessWindowMessage(hwnd, message, wparam, lparam, result)) {
    result = ::DefWindowProcW(hwnd, message, wparam, lparam);
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, kObjectSlot, 0);
    self->hwnd_ = nullptr;
    self->OnFinalMessage(hwnd);
  }
  return result;
}

}  // namespace velko::window
