// The style language. Not a tokenizer: for each known property one
// case-insensitive pattern is searched in the whole text and its first match's
// capture group 1 is the value. A property found inside a longer name counts
// ("padding-top:5px" sets top), and a value that does not fit its pattern
// leaves the field unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "uilib/style_values.h"

namespace uilib {

// Applies `text` to `values`: every property found overwrites its field(s),
// the others keep their current values (so a second call merges). The text is
// stored as the style text. Returns which properties were found.
StylePropertySet ParseStyleText(std::string_view text, StyleValues* values);

// Value grammars, exposed for the Windows side and for tests.

// "argb(a,r,g,b)" or "rgb(r,g,b)" searched in `text`; each component keeps its
// low 8 bits. argb wins over rgb when both occur.
std::optional<std::uint32_t> ParseColourValue(std::string_view text);

// The font grammar: "[italic |oblique ][underline ][small-caps ][bold ][strike ][Npx ]family".
// Modifiers are recognised only in this order; one out of order ends up in the
// family name. A value without any family gives an empty family, which no
// installed family matches (so the fallback font is used).
FontSpec ParseFontValue(std::string_view text);

// Margin/padding grammar: four items (top right bottom left), two items
// (vertical horizontal) or one item (all); each "Npx" or "auto" (-1). Items
// without "px" are not recognised. nullopt when no form matches.
std::optional<BoxEdges> ParseBoxEdgesValue(std::string_view text);

// A length value: "auto", "N%" / "N.M%", or pixels ("22px" and "22" both 22).
StyleLength ParseLengthValue(std::string_view text);

}  // namespace uilib
