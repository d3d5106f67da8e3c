// Paged content: the page frame, its pages and the advertising element.
#pragma once

#include "uilib/element.h"

class CUILibPageFrame : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibPageFrame"; }
};

class CUILibPage : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibPage"; }
};

class CUILibAd : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibAd"; }
};
