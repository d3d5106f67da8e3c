// The windowless vertical scroll bar.
#pragma once

#include "uilib/element.h"

class CUILibScrollBar : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibScrollBar"; }
};
