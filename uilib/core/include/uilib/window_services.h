// What an element asks of the window it lives in. The window layer implements
// these with private messages to the native window; while an element is not in
// a window (no services attached to its root) the requests are not made.
// Win32-free so that element logic is tested natively with a recording double.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "uilib/geometry.h"
#include "uilib/iuilib_element.h"
#include "uilib/native_handles.h"

class CUILibElement;

namespace uilib {

// A Win32 scroll bar control owned by an element with overflow `scroll`.
class NativeScrollBar {
 public:
  virtual ~NativeScrollBar() = default;
  // Range 0..maximum with the given page (range|page mask).
  virtual void SetRangeAndPage(int maximum, int page, bool redraw) = 0;
  virtual void Move(int x, int y, int width, int height) = 0;
  virtual int Position() const = 0;
  virtual void SetPosition(int position) = 0;
  // Posts the control a thumb-position scroll message for `position`.
  virtual void PostThumbPosition(int position) = 0;
};

// Integer rectangle of a repaint request (left, top, right, bottom).
struct RepaintRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const RepaintRect&) const = default;
};

class WindowServices {
 public:
  virtual ~WindowServices() = default;
  // Repaint `rect`, or the whole window when none is given.
  virtual void RequestRepaint(std::optional<RepaintRect> rect) = 0;
  virtual void RequestRelayout() = 0;
  // Put the element on the hover list and ask for a mouse-leave notification.
  virtual void TrackElement(CUILibElement* element) = 0;
  // Forget an element that is being destroyed: the window drops every
  // pointer to it (hover list, pressed, captured and deferred-click element,
  // child controls).
  virtual void ForgetElement(CUILibElement* element) = 0;
  virtual void HideTooltip(CUILibElement* element) = 0;
  virtual std::unique_ptr<NativeScrollBar> CreateNativeScrollBar(CUILibElement* element) = 0;
  // Captures the mouse for `element`; returns the element that had it.
  virtual IUILibElement* CaptureMouse(CUILibElement* element) = 0;
  virtual void ReleaseMouse() = 0;
  // Links of `vscroll` and `fire-vscroll` attributes to scroll bar ids.
  virtual void RegisterScrolled(CUILibElement* element, const std::string& scroll_bar_id) = 0;
  virtual void RegisterWheelForwarder(CUILibElement* element, const std::string& scroll_bar_id) = 0;
  virtual void UnregisterScrollLinks(CUILibElement* element) = 0;
  // A scroll bar element under its id (a later bar of the same id replaces
  // the entry; forgetting the element removes it).
  virtual void RegisterScrollBar(CUILibElement* bar, const std::string& id) = 0;
  // Sends the window the scroll request `code` (an SB_ value) for `bar`, with
  // `track` as the thumb-track position, and returns when it was processed.
  virtual void SendScrollRequest(CUILibElement* bar, int code, int track) = 0;
  // A native child control that the element created in the window: its
  // notifications (WM_COMMAND) reach the element. The window forgets the
  // control when it is unregistered or when the element is forgotten.
  virtual void RegisterChildControl(NativeWindow control, CUILibElement* element) = 0;
  virtual void UnregisterChildControl(NativeWindow control) = 0;
  // Starts a 1 ms animation timer; the window calls `TickAnimation` on the
  // returned record until it reports the end.
  virtual void StartAnimationTimer(std::uintptr_t timer_id) = 0;
  virtual void KillAnimationTimer(std::uintptr_t timer_id) = 0;
  // Client point of the cursor (the window converts from screen coordinates).
  virtual PointF CursorClientPosition() = 0;
  // The native window (null in tests).
  virtual NativeWindow Handle() = 0;
};

}  // namespace uilib
