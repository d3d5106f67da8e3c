// The image element's picture, stretched into its rectangle.
#include "uilib/widgets/image.h"
#include "uilib/widgets/rect_ops.h"
#include "uilib/widgets/win/texture_image_win.h"

void CUILibImage::Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  if (graphics == nullptr) return;
  PaintBackground(graphics, clip);
  const uilib::RectF& r = Rect();
  Gdiplus::Image* image = uilib::ImageOf(image_);
  if (image != nullptr && !uilib::HasNoArea(uilib::IntersectRects(r, clip))) {
    graphics->DrawImage(image, Gdiplus::RectF(r.x, r.y, r.w, r.h));
  }
  PaintChildren(graphics, clip);
  if (Overlay() != nullptr) Overlay()->Paint(graphics, clip);
}
