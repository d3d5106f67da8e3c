// Windowless buttons and check boxes drawn from a texture.
#pragma once

#include "uilib/element.h"

class CUILibVirtualBtn : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibVirtualBtn"; }
};

class CUILibVirtualCheckBox : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibVirtualCheckBox"; }
};
