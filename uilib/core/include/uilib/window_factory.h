// The window object CreateWindowById builds: on Windows the skinned native
// window, elsewhere the tree-only CUILibWindow (no native window to create).
#pragma once

#include <memory>

#include "uilib/window.h"

namespace uilib {

std::unique_ptr<CUILibWindow> MakeWindowObject(const TiXmlElement* xml, IUILib* lib);

}  // namespace uilib
