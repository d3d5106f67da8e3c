// The texture attributes of the windowless button and progress kinds, parsed
// into plain values: colour lists and colours, remote addresses, the first
// item of an image value, frame sizes, nine-grid margins and the grey colour
// matrices. Win32-free; the Windows side builds GDI+ objects from them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "uilib/geometry.h"
#include "uilib/style_values.h"

namespace uilib {

// "color:(rgb(r,g,b)rgb(...)...)" or "color:(argb(a,r,g,b)...)": every item of
// the kind that the list starts with, in order (one per state index). Empty
// when the value is no colour list.
std::vector<std::uint32_t> ParseTextureColourList(std::string_view value);

// "color:rgb(r,g,b)" or "color:argb(a,r,g,b)": the one colour, nullopt when the
// value has no colour of the kind it starts with.
std::optional<std::uint32_t> ParseTextureColour(std::string_view value);

// Whether the value is a remote address ("http://", any case).
bool IsRemoteTexture(std::string_view value);

// The text up to the first semicolon (the whole value without one).
std::string_view FirstTextureItem(std::string_view value);

// "Wpx Hpx": the frame size of a texture.
std::optional<SizeF> ParseTextureSize(std::string_view value);

// `texture-margin`, read with the grammar of the style property
// `background-paint` (margins and TILE / STRETCH); `present` is set.
BackgroundPaint ParseTextureMargin(std::string_view value);

// A 5 x 5 GDI+ colour matrix, row-major.
using ColourMatrix = std::array<float, 25>;

// Blends each colour towards its luminance 0.3 R + 0.59 G + 0.11 B by the
// fraction `p`: 0 leaves it unchanged, 1 gives full grey.
ColourMatrix GrayMatrix(float p);

// `texture-gray`: one matrix per "N%" in order, padded with full-grey
// matrices to one per state index (four).
std::vector<ColourMatrix> ParseTextureGray(std::string_view value);

}  // namespace uilib
