#include "uilib/window_factory.h"

namespace uilib {

std::unique_ptr<CUILibWindow> MakeWindowObject(const TiXmlElement* xml, IUILib* lib) {
  return std::make_unique<CUILibWindow>(xml, lib);
}

}  // namespace uilib
