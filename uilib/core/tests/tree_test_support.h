// Helpers of the element-tree tests: build a window tree from skin text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "uilib/element.h"
#include "uilib/uilib_impl.h"

namespace uilib::testing {

// The children of `element` in list order.
inline std::vector<CUILibElement*> ChildrenOf(const CUILibElement* element) {
  std::vector<CUILibElement*> out;
  const ElementChildren& children = element->Children();
  for (CUILibElement* c = children.First(); c != nullptr; c = children.Next(c)) out.push_back(c);
  return out;
}

// A library object with `window_body` loaded as the only window "w".
inline std::unique_ptr<CUILibImpl> LibraryWithWindow(const std::string& window_body) {
  auto lib = std::make_unique<CUILibImpl>();
  std::string skin = "<uilib><window id=\"w\">" + window_body + "</window></uilib>";
  if (lib->LoadSkinFromMemory(skin) != SkinLoadResult::kOk) return nullptr;
  return lib;
}

}  // namespace uilib::testing
