// Elements that wrap native controls: button, check box, combo box ex and rich edit.
#pragma once

#include "uilib/element.h"

class CUILibButton : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibButton"; }
};

class CUILibCheckBox : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibCheckBox"; }
};

class CUILibComboBoxEx : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibComboBoxEx"; }
};

class CUILibRichEdit : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CUILibRichEdit"; }
};
