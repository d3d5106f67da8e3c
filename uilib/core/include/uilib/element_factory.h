// The element factory: tag (case-insensitive) to element kind. The core owns
// the kind registry and knows only the base kind `element`; the widgets
// library registers its kinds at start-up (uilib/widgets/widget_kinds.h), so
// the core builds and links without it.
#pragma once

#include <memory>
#include <string_view>

class CUILibElement;
class IUILib;
class TiXmlElement;

namespace uilib {

using ElementConstructor = std::unique_ptr<CUILibElement> (*)(CUILibElement* parent, const TiXmlElement* xml,
                                                              IUILib* lib);

// Makes `tag` create elements with `construct`; a tag registered before gets
// the new constructor. Registration happens at start-up, before any tree is
// built.
void RegisterElementKind(std::string_view tag, ElementConstructor construct);

// Constructs the kind named by `tag` with (parent, xml, lib). Null for a tag
// that is not a registered element kind (including `window`).
std::unique_ptr<CUILibElement> CreateElement(std::string_view tag, CUILibElement* parent,
                                             const TiXmlElement* xml, IUILib* lib);

// The number of registered element kinds.
size_t ElementKindCount();

}  // namespace uilib
