// The window side of mouse input: turns a skinned window's mouse messages into
// element events (press, window drag, release, deferred single click, double
// click, hover enter/leave walk, leaving the window). Win32-free: the window
// feeds it client points and implements the few native actions through
// MouseRouterHost, so the routing is tested with synthetic input.
#pragma once

#include <vector>

#include "uilib/geometry.h"
#include "uilib/style_values.h"

class CUILibElement;

namespace uilib {

class ElementWatch;

struct PointI {
  int x = 0;
  int y = 0;
  bool operator==(const PointI&) const = default;
};

class MouseRouterHost {
 public:
  virtual ~MouseRouterHost() = default;
  // WS_POPUP and neither part of WS_CAPTION: presses on movable elements drag.
  virtual bool IsPopupWithoutCaption() = 0;
  virtual PointI CursorScreenPosition() = 0;
  virtual PointI WindowOrigin() = 0;
  // Moves the window without changing its size or z-order.
  virtual void MoveWindowTo(PointI origin) = 0;
  virtual void CaptureForDrag() = 0;
  virtual void TakeFocus() = 0;
  // A window timer of the system double-click time for a deferred click.
  virtual void StartDeferredClickTimer() = 0;
  virtual void KillDeferredClickTimer() = 0;
  // Ask Windows for a leave notification of the pointer.
  virtual void RequestLeaveNotification() = 0;
  // The window's class cursor; kNone means the arrow.
  virtual void SetCursor(Cursor cursor) = 0;
};

class MouseRouter {
 public:
  MouseRouter(CUILibElement* root, MouseRouterHost* host) : root_(root), host_(host) {}

  void OnButtonDown(PointF point);
  void OnButtonUp(PointF point);
  void OnDeferredClickTimer();
  void OnDoubleClick(PointF point);
  void OnMouseMove(PointF point);
  void OnMouseLeaveWindow();

  // Services the window offers its elements.
  void Track(CUILibElement* element);
  // Drops every reference to an element that is being destroyed (every
  // element asks for this in its destructor).
  void Forget(CUILibElement* element);
  // Returns the element that had the capture before.
  CUILibElement* Capture(CUILibElement* element);
  void ReleaseCapture();

  bool Dragging() const { return dragging_; }
  const std::vector<CUILibElement*>& HoverList() const { return hover_list_; }
  CUILibElement* Pressed() const { return pressed_; }
  CUILibElement* DeferredClickElement() const { return deferred_element_; }

 private:
  void EnterFrom(CUILibElement* hit);
  void LeaveAllExcept(const ElementWatch& hit);
  void AddToHoverList(CUILibElement* element);
  static void MarkHovered(CUILibElement* element, bool hovered);
  bool OnHoverList(const CUILibElement* element) const;
  static Cursor CursorFor(const CUILibElement* hit);

  CUILibElement* root_;
  MouseRouterHost* host_;
  CUILibElement* pressed_ = nullptr;
  CUILibElement* captured_ = nullptr;
  CUILibElement* deferred_element_ = nullptr;
  PointF deferred_point_;
  bool dragging_ = false;
  PointI drag_cursor_;
  PointI drag_origin_;
  std::vector<CUILibElement*> hover_list_;
};

}  // namespace uilib
