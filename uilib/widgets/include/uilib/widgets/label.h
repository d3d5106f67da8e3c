// Text elements: the label and the anchor (hyperlink). Their drawing, text and hover behaviour build on the element base.
#pragma once

#include "uilib/element.h"

class CUILibLabel : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibLabel"; }
};

class CUILibAnchor : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibAnchor"; }
};
