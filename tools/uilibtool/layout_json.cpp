#include "layout_json.h"

#include "uilib/element.h"

namespace uilibtool {
namespace {

nlohmann::ordered_json RectToJson(const uilib::RectF& r) {
  return {{"x", r.x}, {"y", r.y}, {"w", r.w}, {"h", r.h}};
}

}  // namespace

nlohmann::ordered_json LayoutTreeToJson(const CUILibElement& element) {
  nlohmann::ordered_json node;
  node["tag"] = element.Tag();
  node["id"] = element.Id();
  node["rect"] = RectToJson(element.Rect());
  node["visible"] = RectToJson(element.VisibleRect());
  nlohmann::ordered_json children = nlohmann::ordered_json::array();
  const uilib::ElementChildren& list = element.Children();
  for (const CUILibElement* child = list.First(); child != nullptr; child = list.Next(child)) {
    children.push_back(LayoutTreeToJson(*child));
  }
  node["children"] = std::move(children);
  if (const CUILibElement* overlay = element.Overlay()) node["overlay"] = LayoutTreeToJson(*overlay);
  return node;
}

}  // namespace uilibtool
