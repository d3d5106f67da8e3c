// The embedded web frame.
#pragma once

#include "uilib/element.h"

class CUILibIFrame : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibIFrame"; }
};
