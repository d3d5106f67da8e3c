#include "uilib/mouse_router.h"

#include <algorithm>
#include <utility>

#include "uilib/button_state.h"
#include "uilib/element.h"
#include "uilib/element_watch.h"
#include "uilib/tree_lock.h"

namespace uilib {
namespace {

bool IsSelfOrAncestorOf(const CUILibElement* candidate, const CUILibElement* element) {
  for (const CUILibElement* e = element; e != nullptr; e = e->Parent()) {
    if (e == candidate) return true;
  }
  return false;
}

}  // namespace

void MouseRouter::OnButtonDown(PointF point) {
  SetLeftButtonDown(true);
  pressed_ = root_->HitTest(point);
  if (pressed_ == nullptr) return;
  if (host_->IsPopupWithoutCaption() && pressed_->IsMovable()) {
    // The element gets no button events for a press that drags the window.
    dragging_ = true;
    drag_cursor_ = host_->CursorScreenPosition();
    drag_origin_ = host_->WindowOrigin();
    host_->CaptureForDrag();
    return;
  }
  pressed_->OnLButtonDown(point);
}

void MouseRouter::OnButtonUp(PointF point) {
  SetLeftButtonDown(false);
  CUILibElement* pressed = std::exchange(pressed_, nullptr);
  if (dragging_) {
    dragging_ = false;
    root_->ReleaseMouseCapture();
    return;
  }
  host_->TakeFocus();
  if (pressed == nullptr) return;
  // The release handlers may destroy the pressed element: no click then.
  ElementWatch watch(pressed);
  if (pressed->OnLButtonUp(point) != 0 || !watch.Alive()) return;
  if (root_->HitTest(point) != pressed) return;
  if (pressed->HasHandler("ondbclick")) {
    // A second click may still come: the single click waits for the
    // double-click time.
    deferred_element_ = pressed;
    deferred_point_ = point;
    host_->StartDeferredClickTimer();
    return;
  }
  pressed->OnClick(point);
}

void MouseRouter::OnDeferredClickTimer() {
  host_->KillDeferredClickTimer();
  CUILibElement* element = std::exchange(deferred_element_, nullptr);
  if (element != nullptr) element->OnClick(deferred_point_);
}

void MouseRouter::OnDoubleClick(PointF point) {
  CUILibElement* hit = root_->HitTest(point);
  if (hit == nullptr || hit->OnDblClick(point) == 0) return;
  // The double click replaces the single click that was waiting.
  host_->KillDeferredClickTimer();
  deferred_element_ = nullptr;
}

void MouseRouter::OnMouseMove(PointF point) {
  if (dragging_) {
    PointI cursor = host_->CursorScreenPosition();
    host_->MoveWindowTo(PointI{drag_origin_.x + cursor.x - drag_cursor_.x, drag_origin_.y + cursor.y - drag_cursor_.y});
    return;
  }
  if (captured_ != nullptr) {
    captured_->OnMouseMove(point);
    return;
  }
  CUILibElement* hit = root_->HitTest(point);
  if (hit == nullptr) return;
  // Enter and leave handlers may destroy the hit element; the next move
  // routes afresh then.
  ElementWatch watch(hit);
  EnterFrom(hit);
  if (!watch.Alive()) return;
  host_->SetCursor(CursorFor(hit));
  hit->OnMouseMove(point);
  LeaveAllExcept(watch);
}

void MouseRouter::OnMouseLeaveWindow() {
  std::vector<CUILibElement*> snapshot = hover_list_;
  for (CUILibElement* element : snapshot) {
    // An element destroyed by an earlier leave handler was taken off the list.
    if (!OnHoverList(element)) continue;
    std::erase(hover_list_, element);
    if (element == root_) continue;
    MarkHovered(element, false);
    element->OnMouseLeave();
  }
}

// From the hit element outwards, the first element that accepts the hover is
// tracked; elements that refuse it are passed on to their parent.
void MouseRouter::EnterFrom(CUILibElement* hit) {
  for (CUILibElement* e = hit; e != nullptr;) {
    if (e->IsHovered()) {
      e = e->Parent();
      continue;
    }
    MarkHovered(e, true);
    ElementWatch watch(e);
    const int accepted = e->OnMouseEnter();
    // An enter handler that destroyed its element ends the walk.
    if (!watch.Alive()) return;
    if (accepted != 0) {
      Track(e);
      return;
    }
    MarkHovered(e, false);
    e = e->Parent();
  }
}

void MouseRouter::LeaveAllExcept(const ElementWatch& hit) {
  std::vector<CUILibElement*> snapshot = hover_list_;
  for (CUILibElement* element : snapshot) {
    // A leave handler may have destroyed elements that were on the list (their
    // destruction took them off it), the hit element included.
    if (!OnHoverList(element) || (hit.Alive() && IsSelfOrAncestorOf(element, hit.Get()))) continue;
    MarkHovered(element, false);
    hover_list_.erase(std::find(hover_list_.begin(), hover_list_.end(), element));
    element->OnMouseLeave();
  }
}

void MouseRouter::MarkHovered(CUILibElement* element, bool hovered) {
  // The hovered look is painted, maybe by the render thread right now.
  ScopedTreeChange change(element->Library(), "hover");
  element->SetHovered(hovered);
}

void MouseRouter::Track(CUILibElement* element) {
  AddToHoverList(element);
  element->SetTracked(true);
  host_->RequestLeaveNotification();
}

void MouseRouter::AddToHoverList(CUILibElement* element) {
  if (!OnHoverList(element)) hover_list_.push_back(element);
}

bool MouseRouter::OnHoverList(const CUILibElement* element) const {
  return std::find(hover_list_.begin(), hover_list_.end(), element) != hover_list_.end();
}

void MouseRouter::Forget(CUILibElement* element) {
  std::erase(hover_list_, element);
  if (pressed_ == element) pressed_ = nullptr;
  if (captured_ == element) captured_ = nullptr;
  if (deferred_element_ == element) {
    deferred_element_ = nullptr;
    host_->KillDeferredClickTimer();
  }
}

CUILibElement* MouseRouter::Capture(CUILibElement* element) { return std::exchange(captured_, element); }

void MouseRouter::ReleaseCapture() { captured_ = nullptr; }

Cursor MouseRouter::CursorFor(const CUILibElement* hit) {
  for (const CUILibElement* e = hit; e != nullptr; e = e->Parent()) {
    Cursor cursor = e->CursorKind();
    if (cursor != Cursor::kNone) return cursor;
  }
  return Cursor::kNone;
}

}  // namespace uilib
