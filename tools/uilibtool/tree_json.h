// A window's element tree as JSON: per element its tag, kind, id, parsed
// style values, the state of widget kinds that hold one (pictures: size,
// frame count, interpolation mode, keepaspect; ads: click target; page frames:
// current page) and children.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

class CUILibElement;
class CUILibStyle;

namespace uilibtool {

nlohmann::ordered_json StyleToJson(const CUILibStyle& style);
nlohmann::ordered_json ElementTreeToJson(const CUILibElement& element);

// A document as the tool prints it: indented by two, invalid UTF-8 replaced,
// ending with a line break.
std::string JsonText(const nlohmann::ordered_json& document);

}  // namespace uilibtool
