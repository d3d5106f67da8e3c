#pragma once
// A small window class in the manner of ATL's CWindowImpl: registers a window
// class of its own, creates the native window, and routes every message to the
// virtual ProcessWindowMessage of the C++ object that owns the window.

#include <windows.h>

namespace velko::window {

// Everything CreateWindowExW needs apart from the class and the instance.
struct WindowCreateParams {
  HWND parent = nullptr;  // HWND_MESSAGE makes a message-only window
  RECT rect{};            // all zero by default
  const wchar_t* title = L"";
  DWORD style = 0;
  DWORD ex_style = 0;
  HMENU menu_or_child_id = nullptr;
};

class WindowBase {
 public:
  WindowBase() = default;
  // A window still alive is detached first, so that its last messages never
  // reach a half-destroyed object, and then destroyed.
  virtual ~WindowBase();

  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  // Registers the window class on first use and creates the window. Returns the
  // handle, or null when the class or the window could not be created
  // (including a WM_CREATE answered with -1).
  HWND Create(HINSTANCE instance, const WindowCreateParams& params);

  HWND hwnd() const { return hwnd_; }
  bool IsWindow() const { return hwnd_ != nullptr && ::IsWindow(hwnd_) != FALSE; }
  bool DestroyWindow();

  bool PostMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const;
  LRESULT SendMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const;
  bool SetTimer(UINT_PTR timer_id, UINT elapse_ms);
  bool KillTimer(UINT_PTR timer_id);

  // The object that owns hwnd, or null for a window not created by this class.
  static WindowBase* FromHandle(HWND hwnd);

 protected:
  // Message dispatch. Return true when the message was handled; `result` is
  // then the window procedure's answer. Unhandled messages go to
  // DefWindowProcW.
  virtual bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam,
                                    LPARAM lparam, LRESULT& result) = 0;

  // Called after WM_NCDESTROY, when hwnd() is already null. An object that
  // lives on the heap may delete itself here.
  virtual void OnFinalMessage(HWND /*hwnd*/) {}

  // The class name under which this kind of window is registered.
  virtual const wchar_t* WindowClassName() const { return L"VelkoWindow"; }

  // Lets a derived class choose class styles, cursor, background or icon
  // before the class is registered.
  virtual void CustomizeWindowClass(WNDCLASSEXW& /*window_class*/) const {}

 private:
  bool EnsureClassRegistered(HINSTANCE instance) const;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
};

}  // namespace velko::window
