// Builds a window tree from skin text and lays it out into a client size.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tree_test_support.h"
#include "uilib/window.h"

namespace uilib::testing {

struct LaidOutWindow {
  std::unique_ptr<CUILibImpl> lib;
  std::unique_ptr<CUILibWindow> window;

  // The first element with `id`; fails the test when there is none.
  CUILibElement* ById(const char* id) const {
    std::vector<IUILibElement*> found;
    window->FindElementsById(found, id);
    return found.empty() ? nullptr : static_cast<CUILibElement*>(found.front());
  }
  RectF RectOf(const char* id) const {
    CUILibElement* e = ById(id);
    return e != nullptr ? e->Rect() : RectF{-1, -1, -1, -1};
  }
};

inline LaidOutWindow LayOut(const std::string& window_body, float width, float height,
                            const std::string& window_style = "") {
  LaidOutWindow out;
  out.lib = std::make_unique<CUILibImpl>();
  std::string skin = "<uilib><window id=\"w\" style=\"" + window_style + "\">" + window_body + "</window></uilib>";
  if (out.lib->LoadSkinFromMemory(skin) != SkinLoadResult::kOk) return out;
  out.window = out.lib->BuildWindowTree("w");
  if (out.window) out.window->Layout(RectF{0, 0, width, height}, nullptr, nullptr);
  return out;
}

}  // namespace uilib::testing

namespace uilib {
inline void PrintTo(const RectF& r, std::ostream* os) {
  *os << "{" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << "}";
}
}  // namespace uilib
