// The highlight button's hover tracking and the native kinds' common layout.
#include <tinyxml.h>

#include "uilib/text_util.h"
#include "uilib/widgets/native_controls.h"
#include "uilib/widgets/widget_state.h"

CUILibButton::CUILibButton(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibElement(parent, xml, lib) {
  const char* selected = Xml()->Attribute("selected");
  selected_ = selected != nullptr && uilib::EqualsIgnoreCase(selected, "true");
}

int CUILibButton::OnMouseMove(uilib::PointF) {
  uilib::WindowServices* services = Services();
  if (!IsHovered() && services != nullptr) {
    SetHovered(true);
    services->RequestRepaint(uilib::GrownRepaintRect(Rect(), ScrollOffset()));
    services->TrackElement(this);
  }
  return 1;
}

int CUILibButton::OnMouseLeave() {
  if (uilib::WindowServices* services = Services()) {
    SetHovered(false);
    services->RequestRepaint(uilib::ScrolledRepaintRect(Rect(), ScrollOffset()));
  }
  CUILibElement::OnMouseLeave();
  return 1;
}

uilib::NativeWindow CUILibNativeControl::ParentWindow() {
  uilib::WindowServices* services = Services();
  return services != nullptr ? services->Handle() : nullptr;
}

void CUILibNativeControl::AdoptControl(uilib::NativeWindow control, bool notifies) {
  control_ = control;
  if (control_ == nullptr || !notifies) return;
  if (uilib::WindowServices* services = Services()) services->RegisterChildControl(control_, this);
}
