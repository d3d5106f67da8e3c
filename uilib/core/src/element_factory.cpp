#include "uilib/element_factory.h"

#include <string>
#include <vector>

#include "uilib/element.h"
#include "uilib/text_util.h"

namespace uilib {
namespace {

struct KindEntry {
  std::string tag;
  ElementConstructor construct;
};

std::unique_ptr<CUILibElement> ConstructBase(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib) {
  return std::make_unique<CUILibElement>(parent, xml, lib);
}

std::vector<KindEntry>& Kinds() {
  // Never destroyed: kinds may be registered and trees built during static
  // initialisation and destruction.
  static auto* kinds = new std::vector<KindEntry>{{"element", &ConstructBase}};
  return *kinds;
}

}  // namespace

void RegisterElementKind(std::string_view tag, ElementConstructor construct) {
  if (tag.empty() || construct == nullptr) return;
  for (KindEntry& kind : Kinds()) {
    if (EqualsIgnoreCase(tag, kind.tag)) {
      kind.construct = construct;
      return;
    }
  }
  Kinds().push_back(KindEntry{std::string(tag), construct});
}

std::unique_ptr<CUILibElement> CreateElement(std::string_view tag, CUILibElement* parent,
                                             const TiXmlElement* xml, IUILib* lib) {
  for (const KindEntry& kind : Kinds()) {
    if (EqualsIgnoreCase(tag, kind.tag)) return kind.construct(parent, xml, lib);
  }
  return nullptr;
}

size_t ElementKindCount() { return Kinds().size(); }

}  // namespace uilib
