// The window region of an alpha-shaped window, taken from an image.
#pragma once

#include "uilib/win/gdiplus_include.h"

namespace uilib::win {

// Pixels with alpha >= this belong to the region.
inline constexpr unsigned kRegionAlphaThreshold = 30;

// For each row, the first run of pixels with alpha >= 30 becomes a one-pixel
// high rectangle; later runs of the row are not added. Null for an image
// without alpha in its pixel format (or that cannot be read). Writes the time
// it took to standard output. The caller owns the region.
HRGN RegionFromImage(Gdiplus::Image* image);

}  // namespace uilib::win
