// The compiled patterns of the style language, compiled once per process.
#pragma once

#include <array>

#include "uilib/style_values.h"
#include "vregex/regex.h"

namespace uilib {

struct StylePatterns {
  // One per StyleProperty, in processing order; group 1 is the value.
  std::array<vregex::Regex, static_cast<size_t>(StyleProperty::kCount)> properties;
  vregex::Regex argb;          // argb\((\d+),(\d+),(\d+),(\d+)\)
  vregex::Regex rgb;           // rgb\((\d+),(\d+),(\d+)\)
  vregex::Regex font_grammar;  // modifiers, size and family
  vregex::Regex edges4;        // four margin items
  vregex::Regex edges2;
  vregex::Regex edges1;
  vregex::Regex pixels;        // (\d+)px, the border width
};

const StylePatterns& Patterns();

}  // namespace uilib
