// Skin loading and element-tree construction on arbitrary documents: the
// TinyXML load with its root check and limits, then every window built
// through the factory, laid out in a real area, with an item provider
// registered and the tree operations applied.
//
// Two attributes are tamed first because the skin author is trusted with
// them: store-object writes through the address the skin names, and dup
// multiplies subtrees (nested dups grow exponentially).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tinyxml.h>
#include <vector>

#include "uilib/error.h"
#include "uilib/uilib_impl.h"

namespace {

constexpr int kMaxDup = 2;
constexpr int kMaxDupAttributes = 3;

class FixedProvider : public IUILibItemProvider {
 public:
  int GetItems(const char* elementId, TiXmlElement** first) override {
    if (elementId[0] == '\0') return 0;
    auto* doc = new TiXmlDocument();
    doc->Parse("<element id='item'/><label id='item' style='width:1px'/><unknown/>");
    *first = doc->RootElement();
    return 1;
  }
};

void Tame(TiXmlElement* element, int* dups_left) {
  for (; element != nullptr; element = element->NextSiblingElement()) {
    element->RemoveAttribute("store-object");
    if (element->Attribute("dup") != nullptr) {
      int dup = 0;
      element->QueryIntAttribute("dup", &dup);
      if (*dups_left > 0 && dup > 0) {
        element->SetAttribute("dup", dup > kMaxDup ? kMaxDup : dup);
        --*dups_left;
      } else {
        element->RemoveAttribute("dup");
      }
    }
    Tame(element->FirstChildElement(), dups_left);
  }
}

// Lays the tree out in a real area (the size taken from the input), then
// applies the tree operations, which lay out again in the window's rectangle.
void Exercise(CUILibWindow* window, std::size_t input_size) {
  const float width = static_cast<float>(200 + input_size % 600);
  const float height = static_cast<float>(100 + input_size % 400);
  window->Layout(uilib::RectF{0.0f, 0.0f, width, height}, nullptr, nullptr);
  std::vector<IUILibElement*> found;
  window->FindElementsById(found, "item");
  window->SetStyle("width:10px;margin:1px 2px");
  window->Enable(0);
  window->Rebuild(0);
  window->Layout(uilib::RectF{0.0f, 0.0f, height, width}, nullptr, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  CUILibImpl raw;
  if (raw.LoadSkinFromMemory(text) != uilib::SkinLoadResult::kOk) return 0;

  TiXmlDocument doc;
  doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
  int dups_left = kMaxDupAttributes;
  Tame(doc.RootElement(), &dups_left);
  TiXmlPrinter printer;
  doc.Accept(&printer);

  CUILibImpl lib;
  FixedProvider provider;
  lib.RegisterHandler("p", static_cast<IUILibItemProvider*>(&provider));
  if (lib.LoadSkinFromMemory(printer.CStr()) != uilib::SkinLoadResult::kOk) return 0;
  for (const TiXmlElement* w = lib.Document().Root()->FirstChildElement("window"); w != nullptr;
       w = w->NextSiblingElement("window")) {
    const char* id = w->Attribute("id");
    if (id == nullptr) continue;
    // A skin beyond the limits fails through the error path, which is defined.
    try {
      if (auto window = lib.BuildWindowTree(id)) Exercise(window.get(), size);
    } catch (const CAtlException&) {
    }
  }
  return 0;
}
