#include "uilib/window_factory.h"

#include "uilib/win/skinned_window.h"

namespace uilib {

std::unique_ptr<CUILibWindow> MakeWindowObject(const TiXmlElement* xml, IUILib* lib) {
  return std::make_unique<win::SkinnedWindow>(xml, lib);
}

}  // namespace uilib
