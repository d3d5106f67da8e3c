#include "uilib/win/nine_grid_painter.h"

namespace uilib::win {
namespace {

void DrawStretched(Gdiplus::Graphics* graphics, Gdiplus::Image* image, const NineGridPiece& piece) {
  graphics->DrawImage(image, Gdiplus::RectF(piece.dest.x, piece.dest.y, piece.dest.w, piece.dest.h),
                      piece.source.x, piece.source.y, piece.source.w, piece.source.h, Gdiplus::UnitPixel);
}

void FillTiled(Gdiplus::Graphics* graphics, Gdiplus::Image* image, const NineGridPiece& piece) {
  Gdiplus::TextureBrush brush(image, Gdiplus::WrapModeTile,
                              Gdiplus::RectF(piece.source.x, piece.source.y, piece.source.w, piece.source.h));
  brush.TranslateTransform(piece.dest.x, piece.dest.y);
  graphics->FillRectangle(&brush, piece.dest.x, piece.dest.y, piece.dest.w, piece.dest.h);
}

}  // namespace

void PaintNineGrid(Gdiplus::Graphics* graphics, Gdiplus::Image* image, std::optional<RectF> source,
                   const NineGridSlices& slices, const RectF& dest, int mode) {
  if (graphics == nullptr || image == nullptr) return;
  if (mode != kNineGridTile && mode != kNineGridStretch) return;
  const RectF whole{0.0f, 0.0f, static_cast<float>(image->GetWidth()), static_cast<float>(image->GetHeight())};
  for (const NineGridPiece& piece : CutNineGrid(source.value_or(whole), slices, dest)) {
    if (mode == kNineGridStretch || piece.corner) {
      DrawStretched(graphics, image, piece);
    } else {
      FillTiled(graphics, image, piece);
    }
  }
}

}  // namespace uilib::win
