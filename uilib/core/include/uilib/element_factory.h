// The element factory: tag (case-insensitive) to element kind.
#pragma once

#include <memory>
#include <string_view>

class CUILibElement;
class IUILib;
class TiXmlElement;

namespace uilib {

// Constructs the kind named by `tag` with (parent, xml, lib). Null for a tag
// that is not an element kind (including `window`).
std::unique_ptr<CUILibElement> CreateElement(std::string_view tag, CUILibElement* parent,
                                             const TiXmlElement* xml, IUILib* lib);

// The number of element kinds the factory knows.
size_t ElementKindCount();

}  // namespace uilib
