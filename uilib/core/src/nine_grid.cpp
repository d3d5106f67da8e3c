#include "uilib/nine_grid.h"

#include <array>
#include <cstddef>

namespace uilib {
namespace {

struct Band {
  float start = 0.0f;
  float size = 0.0f;
};

using Bands = std::array<Band, 3>;

Bands SourceBands(float start, float extent, float near, float far) {
  return {Band{start, near}, Band{start + near, extent - near - far}, Band{start + extent - far, far}};
}

Bands DestColumns(float start, float extent, float left, float right) {
  if (extent <= left) return {Band{start, extent}, Band{}, Band{}};
  if (extent < left + right) return {Band{start, left}, Band{}, Band{start + left, extent - left}};
  return {Band{start, left}, Band{start + left, extent - left - right}, Band{start + extent - right, right}};
}

Bands DestRows(float start, float extent, float top, float bottom) {
  if (extent < top + bottom) {
    const float top_share = extent * top / (top + bottom);
    return {Band{start, top_share}, Band{}, Band{start + top_share, extent - top_share}};
  }
  return {Band{start, top}, Band{start + top, extent - top - bottom}, Band{start + extent - bottom, bottom}};
}

}  // namespace

std::vector<NineGridPiece> CutNineGrid(const RectF& source, const NineGridSlices& s, const RectF& dest) {
  const Bands src_cols = SourceBands(source.x, source.w, s.left, s.right);
  const Bands src_rows = SourceBands(source.y, source.h, s.top, s.bottom);
  const Bands dst_cols = DestColumns(dest.x, dest.w, s.left, s.right);
  const Bands dst_rows = DestRows(dest.y, dest.h, s.top, s.bottom);
  std::vector<NineGridPiece> pieces;
  for (std::size_t row = 0; row < 3; ++row) {
    for (std::size_t col = 0; col < 3; ++col) {
      NineGridPiece piece;
      piece.source = RectF{src_cols[col].start, src_rows[row].start, src_cols[col].size, src_rows[row].size};
      piece.dest = RectF{dst_cols[col].start, dst_rows[row].start, dst_cols[col].size, dst_rows[row].size};
      piece.corner = row != 1 && col != 1;
      if (IsEmptyExtent(piece.dest.w) || IsEmptyExtent(piece.dest.h)) continue;
      if (IsEmptyExtent(piece.source.w) || IsEmptyExtent(piece.source.h)) continue;
      pieces.push_back(piece);
    }
  }
  return pieces;
}

}  // namespace uilib
