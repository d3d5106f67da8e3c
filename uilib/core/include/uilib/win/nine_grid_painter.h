// Draws an image with the nine-grid cut (uilib/nine_grid.h). Mode 1 stretches
// edges and centre; mode 0 tiles them with a texture brush of the source slice
// whose origin is the slice's destination corner; any other mode draws nothing.
#pragma once

#include <optional>

#include "uilib/nine_grid.h"
#include "uilib/win/gdiplus_include.h"

namespace uilib::win {

inline constexpr int kNineGridTile = 0;
inline constexpr int kNineGridStretch = 1;

void PaintNineGrid(Gdiplus::Graphics* graphics, Gdiplus::Image* image, std::optional<RectF> source,
                   const NineGridSlices& slices, const RectF& dest, int mode);

}  // namespace uilib::win
