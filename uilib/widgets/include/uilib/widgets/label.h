// Text elements: the label and the anchor (hyperlink). Their drawing, text and
// hover behaviour build on the element base; so far they measure their text
// for `auto` sizes.
#pragma once

#include <string>

#include "uilib/element.h"

class CUILibLabel : public CUILibElement {
 public:
  CUILibLabel(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  const char* KindName() const override { return "CUILibLabel"; }

  // The text's bounding box at the available size, rounded up to whole pixels.
  int MeasureContent(Gdiplus::Graphics* graphics, uilib::SizeF* size, const uilib::SizeF& avail) override;
  const std::wstring& Text() const { return text_; }

 private:
  std::wstring text_;
};

class CUILibAnchor : public CUILibElement {
 public:
  CUILibAnchor(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  const char* KindName() const override { return "CUILibAnchor"; }

  // The text's bounding box with the normal font, unrounded.
  int MeasureContent(Gdiplus::Graphics* graphics, uilib::SizeF* size, const uilib::SizeF& avail) override;
  const std::wstring& Text() const { return text_; }

 private:
  std::wstring text_;
};
