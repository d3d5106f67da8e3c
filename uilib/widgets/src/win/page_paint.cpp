// A page's offscreen bitmap: rendered live or kept as a snapshot for slides.
#include "uilib/widgets/pages.h"
#include "uilib/widgets/win/texture_image_win.h"

namespace {

Gdiplus::Bitmap* BitmapOf(const uilib::TextureImagePtr& texture) {
  return static_cast<Gdiplus::Bitmap*>(uilib::ImageOf(texture));
}

}  // namespace

void CUILibPage::EnsureBitmap() {
  const auto w = static_cast<UINT>(Rect().w);
  const auto h = static_cast<UINT>(Rect().h);
  Gdiplus::Bitmap* bitmap = BitmapOf(bitmap_);
  if (bitmap != nullptr && bitmap->GetWidth() >= w && bitmap->GetHeight() >= h) return;
  bitmap_.reset();
  cache_valid_ = false;
  if (w == 0 || h == 0) return;
  auto created = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(w), static_cast<INT>(h), PixelFormat32bppARGB);
  if (created->GetLastStatus() == Gdiplus::Ok) bitmap_ = uilib::AdoptImage(std::move(created));
}

void CUILibPage::Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  Gdiplus::Bitmap* bitmap = BitmapOf(bitmap_);
  if (graphics == nullptr || bitmap == nullptr) return;
  const bool use_cache = snapshot_ && cache_valid_;
  if (snapshot_ && !cache_valid_ && !visible_) return;
  if (!use_cache) {
    Gdiplus::Graphics offscreen(bitmap);
    offscreen.TranslateTransform(-Rect().x, -Rect().y);
    offscreen.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    Gdiplus::SolidBrush clear(Gdiplus::Color(0, 0, 0, 0));
    offscreen.FillRectangle(&clear, Rect().x, Rect().y, Rect().w, Rect().h);
    offscreen.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
    PaintBackground(&offscreen, clip);
    PaintChildren(&offscreen, clip);
    if (Overlay() != nullptr) Overlay()->Paint(&offscreen, clip);
    cache_valid_ = true;
  }
  if (!visible_) return;
  const auto w = static_cast<INT>(bitmap->GetWidth());
  const auto h = static_cast<INT>(bitmap->GetHeight());
  graphics->DrawImage(bitmap, Gdiplus::Rect(static_cast<INT>(Rect().x + offset_x_), static_cast<INT>(Rect().y + offset_y_), w, h),
                      0, 0, w, h, Gdiplus::UnitPixel);
}
