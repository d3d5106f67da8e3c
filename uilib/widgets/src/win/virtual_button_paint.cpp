// Drawing of the windowless button and check box: the frame of the state from
// the texture image (tiled from the element's corner, or as a nine-grid), the
// image through the grey matrix of the state, or the state's flat colour.
#include "uilib/widgets/rect_ops.h"
#include "uilib/widgets/virtual_button.h"
#include "uilib/widgets/win/texture_image_win.h"
#include "uilib/win/nine_grid_painter.h"

namespace {

// Fills `visible` with the frame at (x, 0, w, h) of the image, repeated from
// the element's corner.
void FillWithFrame(Gdiplus::Graphics* graphics, Gdiplus::Image* image, float x, const uilib::SizeF& frame,
                   const uilib::RectF& element, const uilib::RectF& visible) {
  Gdiplus::TextureBrush brush(image, Gdiplus::WrapModeTile, x, 0.0f, frame.w, frame.h);
  brush.TranslateTransform(element.x, element.y);
  graphics->FillRectangle(&brush, visible.x, visible.y, visible.w, visible.h);
}

}  // namespace

void CUILibVirtualBtn::Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  if (graphics == nullptr) return;
  PaintBackground(graphics, clip);
  const uilib::RectF& rect = Rect();
  const uilib::RectF visible = uilib::IntersectRects(rect, clip);
  Gdiplus::Image* image = uilib::ImageOf(image_);
  const uilib::StateIndex state = CurrentState();
  if (!uilib::HasNoArea(visible)) {
    RequestRemoteTexture();
    if (!gray_matrices_.empty() && image != nullptr) {
      Gdiplus::ColorMatrix matrix;
      std::copy(gray_matrices_[static_cast<size_t>(state)].begin(), gray_matrices_[static_cast<size_t>(state)].end(),
                &matrix.m[0][0]);
      Gdiplus::ImageAttributes attributes;
      attributes.SetColorMatrix(&matrix);
      graphics->DrawImage(image, Gdiplus::RectF(rect.x, rect.y, rect.w, rect.h), 0.0f, 0.0f, rect.w, rect.h,
                          Gdiplus::UnitPixel, &attributes);
    } else if (image != nullptr) {
      // The frame size is taken from the element once, at the first paint.
      if (frame_size_.w == 0.0f) frame_size_ = uilib::SizeF{rect.w, rect.h};
      float x = uilib::ButtonFrameX(state, frame_size_.w);
      if (texture_margin_.present) {
        const auto& s = texture_margin_.slices;
        uilib::win::PaintNineGrid(graphics, image, uilib::RectF{x, 0.0f, frame_size_.w, frame_size_.h},
                                  uilib::NineGridSlices{s[0], s[1], s[2], s[3]}, rect, texture_margin_.mode);
      } else {
        x = uilib::FallBackToLastFrame(x, frame_size_.w, static_cast<float>(image->GetWidth()));
        FillWithFrame(graphics, image, x, frame_size_, rect, visible);
      }
    } else if (!colours_.empty()) {
      Gdiplus::SolidBrush brush(Gdiplus::Color(uilib::ColourForState(colours_, state)));
      graphics->FillRectangle(&brush, visible.x, visible.y, visible.w, visible.h);
    }
  }
  PaintChildren(graphics, clip);
  if (Overlay() != nullptr) Overlay()->Paint(graphics, clip);
}

void CUILibVirtualCheckBox::Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  if (graphics == nullptr) return;
  PaintBackground(graphics, clip);
  const uilib::RectF& rect = Rect();
  const uilib::RectF visible = uilib::IntersectRects(rect, clip);
  Gdiplus::Image* image = uilib::ImageOf(image_);
  if (!uilib::HasNoArea(visible) && image != nullptr) {
    // No fallback: a frame outside the image makes the brush fail and nothing
    // is drawn for this state.
    const float x = uilib::CheckBoxFrameX(CurrentState(), checked_ != 0, rect.w);
    FillWithFrame(graphics, image, x, uilib::SizeF{rect.w, rect.h}, rect, visible);
  }
  PaintChildren(graphics, clip);
  if (Overlay() != nullptr) Overlay()->Paint(graphics, clip);
}
