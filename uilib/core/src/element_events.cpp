// Hit testing and the element side of the event chain: from a mouse action on
// an element to the client's handler bound by an attribute "uilib::Name".
#include <tinyxml.h>

#include "uilib/element.h"
#include "uilib/binding_ref.h"
#include "uilib/element_watch.h"
#include "uilib/shell_open.h"
#include "uilib/text_util.h"

using uilib::PointF;

namespace {

// The handler name an attribute binds, or null when it binds none.
const char* BoundHandlerName(const TiXmlElement* xml, const char* event) {
  return uilib::BoundName(xml->Attribute(event));
}

}  // namespace

CUILibElement* CUILibElement::HitTest(PointF point) {
  // The overlay takes every hit over its owner.
  if (overlay_) return overlay_->HitTest(point);
  float top = rect_.y;
  if (!has_linked_scroll_bar_) top -= static_cast<float>(scroll_offset_);
  if (point.x < rect_.x || point.x >= rect_.x + rect_.w || point.y < top || point.y >= top + rect_.h) {
    return nullptr;
  }
  // The first child in document order wins, even where a later one is drawn over it.
  for (CUILibElement* child = children_.First(); child != nullptr; child = children_.Next(child)) {
    if (child->disabled_) continue;
    if (CUILibElement* hit = child->HitTest(point)) return hit;
  }
  return this;
}

int CUILibElement::FireEvent(const char* name) {
  if (name == nullptr) return 0;
  const char* handler_name = BoundHandlerName(xml_.get(), name);
  if (handler_name != nullptr && lib_ != nullptr) {
    // An unregistered name behaves like no binding.
    if (auto handler = reinterpret_cast<UILibEventHandler>(lib_->FindHandler(handler_name))) {
      uilib::ElementWatch self(this);
      const int handled = handler(name, this);
      // A handler that destroyed this element ends the event here.
      if (handled != 0 || !self.Alive()) return handled != 0 ? 1 : 0;
    }
  }
  if (uilib::EqualsIgnoreCase(name, "onclick")) {
    if (const char* href = xml_->Attribute("href")) uilib::OpenWithShell(href);
  }
  return 0;
}

bool CUILibElement::HasHandler(const char* name) {
  if (disabled_ || name == nullptr) return false;
  if (BoundHandlerName(xml_.get(), name) != nullptr) return true;
  return parent_ != nullptr && parent_->HasHandler(name);
}

// Button down and up: the outermost ancestor gets the first chance.
// An ancestor's handler may destroy this element (by rebuilding the tree):
// the event then ends unhandled.
int CUILibElement::OnLButtonDown(PointF point) {
  uilib::ElementWatch self(this);
  if (parent_ != nullptr && parent_->OnLButtonDown(point) != 0) return 1;
  return self.Alive() ? FireEvent("onlbuttondown") : 0;
}

int CUILibElement::OnLButtonUp(PointF point) {
  uilib::ElementWatch self(this);
  if (parent_ != nullptr && parent_->OnLButtonUp(point) != 0) return 1;
  return self.Alive() ? FireEvent("onlbuttonup") : 0;
}

// Clicks bubble from the innermost element outwards, unless the handler
// destroyed the element it was fired on.
int CUILibElement::OnClick(PointF point) {
  if (disabled_) return 0;
  uilib::ElementWatch self(this);
  if (FireEvent("onclick") != 0) return 1;
  if (!self.Alive()) return 0;
  return parent_ != nullptr ? parent_->OnClick(point) : 0;
}

int CUILibElement::OnDblClick(PointF point) {
  if (disabled_) return 0;
  uilib::ElementWatch self(this);
  if (FireEvent("ondbclick") != 0) return 1;
  if (!self.Alive()) return 0;
  return parent_ != nullptr ? parent_->OnDblClick(point) : 0;
}

int CUILibElement::OnMouseMove(PointF point) { return parent_ != nullptr ? parent_->OnMouseMove(point) : 0; }

int CUILibElement::OnMouseEnter() { return FireEvent("onmouseover"); }

int CUILibElement::OnMouseLeave() {
  uilib::ElementWatch self(this);
  if (FireEvent("onmouseout") != 0) return 1;
  if (!self.Alive()) return 0;
  if (!tip_.empty()) {
    if (uilib::WindowServices* services = Services()) services->HideTooltip(this);
  }
  return 0;
}

void CUILibElement::UpdateHover() {
  uilib::WindowServices* services = Services();
  if (services == nullptr) return;
  PointF cursor = services->CursorClientPosition();
  float top = rect_.y - static_cast<float>(scroll_offset_);
  hovered_ = cursor.x >= rect_.x && cursor.x < rect_.x + rect_.w && cursor.y >= top && cursor.y < top + rect_.h;
}

void CUILibElement::OnAttach(uilib::NativeWindow window) {
  for (CUILibElement* child = children_.First(); child != nullptr; child = children_.Next(child)) {
    child->OnAttach(window);
  }
  uilib::WindowServices* services = Services();
  if (services == nullptr) return;
  if (const char* id = xml_->Attribute("vscroll")) services->RegisterScrolled(this, id);
  if (const char* id = xml_->Attribute("fire-vscroll")) services->RegisterWheelForwarder(this, id);
}

IUILibElement* CUILibElement::SetMouseCapture() {
  uilib::WindowServices* services = Services();
  return services != nullptr ? services->CaptureMouse(this) : nullptr;
}

void CUILibElement::ReleaseMouseCapture() {
  if (uilib::WindowServices* services = Services()) services->ReleaseMouse();
}

uilib::Cursor CUILibElement::CursorKind() const {
  // The language never sets a cursor for the disabled state.
  return disabled_ ? uilib::Cursor::kNone : style_.Values().cursor;
}
