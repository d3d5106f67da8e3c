// The image element.
#pragma once

#include "uilib/element.h"

class CUILibImage : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibImage"; }
};
