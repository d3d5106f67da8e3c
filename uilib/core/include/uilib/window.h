// CUILibWindow: the root element of a window's tree, built from a `window`
// element of the skin (its style is the root's style and its XML children are
// the root's children). The native window is joined to it by the window layer.
#pragma once

#include "uilib/element.h"
#include "uilib/iuilib_window.h"

class CUILibWindow : public CUILibElement, public IUILibWindow {
 public:
  CUILibWindow(const TiXmlElement* xml, IUILib* lib) : CUILibElement(nullptr, xml, lib) {}

  const char* KindName() const override { return "CUILibWindow"; }

  // IUILibWindow. Without a native window there is nothing to show, hide or
  // fade, so these do nothing until the window layer has created one.
  void FadeIn(std::uint32_t) override {}
  void FadeOut(std::uint32_t) override {}
  void Hide() override {}
  void Show() override {}
};
