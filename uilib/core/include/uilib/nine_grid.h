// The nine-grid cut of an image for `background-paint` and texture kinds: the
// source and the destination are each cut into three columns (left margin,
// middle, right margin) and three rows (top margin, middle, bottom margin).
// Win32-free arithmetic; the GDI+ painter draws the pieces.
#pragma once

#include <vector>

#include "uilib/geometry.h"

namespace uilib {

struct NineGridSlices {
  float left = 0.0f;
  float top = 0.0f;
  float right = 0.0f;
  float bottom = 0.0f;
};

struct NineGridPiece {
  RectF source;
  RectF dest;
  bool corner = false;  // corners are drawn, edges and centre tiled or stretched
};

// The pieces to draw, skipping those without area. Corners keep their size.
// A destination narrower than left + right keeps the left column and gives the
// right column what remains; one not wider than the left margin gets only the
// left column, as wide as the destination. A destination lower than
// top + bottom scales the top and bottom rows in the proportion top : bottom.
std::vector<NineGridPiece> CutNineGrid(const RectF& source, const NineGridSlices& slices, const RectF& dest);

}  // namespace uilib
