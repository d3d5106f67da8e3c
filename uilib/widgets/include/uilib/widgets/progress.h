// Progress elements: the windowless bar and circle, and the native progress bar.
#pragma once

#include "uilib/element.h"

class CUILibVirtualProcessBar : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibVirtualProcessBar"; }
};

class CUILibVirtualCircleProcess : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibVirtualCircleProcess"; }
};

class CUILibProcessBar : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibProcessBar"; }
};
