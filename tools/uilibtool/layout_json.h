// A laid-out element tree as JSON: per element its tag, id, rect and visible
// rect {x, y, w, h} and its children.
#pragma once

#include <nlohmann/json.hpp>

class CUILibElement;

namespace uilibtool {

nlohmann::ordered_json LayoutTreeToJson(const CUILibElement& element);

}  // namespace uilibtool
