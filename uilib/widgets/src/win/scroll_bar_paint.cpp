// Drawing of the windowless scroll bar: only the thumb (part 1's image) is
// drawn, as a nine-grid of the frame for its state, and only when part 1 has
// margins. A bar exactly as high as its range (maximum + 1) has nothing to
// scroll and shows no thumb.
#include "uilib/widgets/scroll_bar.h"
#include "uilib/widgets/win/texture_image_win.h"
#include "uilib/win/nine_grid_painter.h"

void CUILibScrollBar::Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  if (graphics == nullptr) return;
  PaintBackground(graphics, clip);
  const Part& thumb = parts_[1];
  Gdiplus::Image* image = uilib::ImageOf(thumb.image);
  const bool no_thumb = Rect().h == static_cast<float>(scroll_.maximum) + 1.0f || image == nullptr;
  if (!no_thumb && thumb.margins.present) {
    const float frame_w = static_cast<float>(thumb.width);
    const uilib::RectF source{ThumbFrame() * frame_w, 0.0f, frame_w, static_cast<float>(thumb.height)};
    const int length = ThumbLength();
    float top = static_cast<float>(bar_.top + bar_.thumb_top);
    if (dragging_) top = static_cast<float>(bar_.top + uilib::DragThumbTop(scroll_, Parts(), Rect().h, length));
    const uilib::RectF dest{static_cast<float>(bar_.left), top, static_cast<float>(bar_.right - bar_.left),
                            static_cast<float>(length)};
    const auto& s = thumb.margins.slices;
    uilib::win::PaintNineGrid(graphics, image, source, uilib::NineGridSlices{s[0], s[1], s[2], s[3]}, dest,
                              thumb.margins.mode);
  }
  PaintChildren(graphics, clip);
  if (Overlay() != nullptr) Overlay()->Paint(graphics, clip);
}
