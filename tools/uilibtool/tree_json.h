// A window's element tree as JSON: per element its tag, kind, id, parsed
// style values and children.
#pragma once

#include <nlohmann/json.hpp>

class CUILibElement;
class CUILibStyle;

namespace uilibtool {

nlohmann::ordered_json StyleToJson(const CUILibStyle& style);
nlohmann::ordered_json ElementTreeToJson(const CUILibElement& element);

}  // namespace uilibtool
