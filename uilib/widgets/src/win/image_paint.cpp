// The image element's picture, fades and slides.
#include "uilib/animation.h"
#include "uilib/error.h"
#include "uilib/text_util.h"
#include "uilib/tree_lock.h"
#include "uilib/widgets/image.h"
#include "uilib/widgets/image_fit.h"
#include "uilib/widgets/texture_attributes.h"
#include "uilib/widgets/win/texture_image_win.h"

namespace uilib {
namespace {

// Draws `picture` whole into `dest` with the alpha of a fade.
void DrawWithAlpha(Gdiplus::Graphics* graphics, Gdiplus::Image* picture, const RectF& dest, float alpha) {
  Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}}};
  matrix.m[3][3] = alpha;
  Gdiplus::ImageAttributes attributes;
  attributes.SetColorMatrix(&matrix);
  graphics->DrawImage(picture, Gdiplus::RectF(dest.x, dest.y, dest.w, dest.h), 0, 0,
                      static_cast<Gdiplus::REAL>(picture->GetWidth()), static_cast<Gdiplus::REAL>(picture->GetHeight()),
                      Gdiplus::UnitPixel, &attributes);
}

float Progress(std::uint64_t start_ms, std::uint32_t duration_ms, std::uint64_t now_ms) {
  if (duration_ms == 0 || now_ms <= start_ms) return now_ms > start_ms ? 1.0f : 0.0f;
  return static_cast<float>(now_ms - start_ms) / static_cast<float>(duration_ms);
}

bool Finished(std::uint64_t start_ms, std::uint32_t duration_ms, std::uint64_t now_ms) {
  return now_ms >= start_ms + duration_ms;
}

}  // namespace
}  // namespace uilib

bool CUILibImage::EndFinishedTransitions(std::uint64_t now_ms) {
  if (fade_ && uilib::Finished(fade_->start_ms, fade_->duration_ms, now_ms)) {
    uilib::ImageFadeList().Remove(this);
    fade_.reset();
  }
  if (slide_ && uilib::Finished(slide_->start_ms, slide_->duration_ms, now_ms)) {
    uilib::ImageSlideList().Remove(this);
    ReplacePicture(std::move(slide_->new_picture));
    slide_.reset();
    return true;
  }
  return false;
}

bool CUILibImage::DrawTransition(Gdiplus::Graphics* graphics, Gdiplus::Image* picture, const uilib::RectF& dest,
                                 std::uint64_t now_ms) {
  if (fade_ && fade_->old_picture) {
    const float t = uilib::Progress(fade_->start_ms, fade_->duration_ms, now_ms);
    Gdiplus::Image* old_picture = uilib::ImageOf(fade_->old_picture);
    const uilib::RectF old_dest =
        uilib::FitPicture(Rect(), static_cast<float>(old_picture->GetWidth()), static_cast<float>(old_picture->GetHeight()),
                          uilib::KeepsAspect(Style().Values().keepaspect));
    uilib::DrawWithAlpha(graphics, old_picture, old_dest, 1 - t);
    uilib::DrawWithAlpha(graphics, picture, dest, t);
    return true;
  }
  if (slide_) {
    const float s = uilib::Progress(slide_->start_ms, slide_->duration_ms, now_ms);
    const auto w = static_cast<float>(picture->GetWidth());
    const auto h = static_cast<float>(picture->GetHeight());
    const uilib::SlideOffset offset = uilib::SlideSourceOffset(slide_->direction, s, w, h);
    graphics->DrawImage(uilib::ImageOf(slide_->composite), Gdiplus::RectF(dest.x, dest.y, dest.w, dest.h),
                        static_cast<Gdiplus::REAL>(offset.x), static_cast<Gdiplus::REAL>(offset.y), w, h,
                        Gdiplus::UnitPixel);
    return true;
  }
  return false;
}

void CUILibImage::SetSource(const wchar_t* source, std::uint32_t fadeMs, int repaint) {
  if (source == nullptr) return;
  const std::string text = uilib::WideToUtf8(source);
  uilib::ScopedTreeChange change(Library(), "SetSource");
  if (uilib::IsRemoteTexture(text)) {
    // The picture arrives later and fades in then; the current one stays.
    SetRemoteSource(text);
  } else if (uilib::TextureImagePtr loaded = uilib::LoadTextureImage(text)) {
    uilib::TextureImagePtr old_picture = TakePicture();
    ReplacePicture(std::move(loaded));
    if (fadeMs != 0 && old_picture != nullptr && !IsSliding()) {
      uilib::ImageFadeList().Remove(this);
      fade_ = std::make_unique<Fade>(Fade{uilib::MonotonicNowMs(), fadeMs, std::move(old_picture)});
      uilib::ImageFadeList().Add(this);
      uilib::WakeImageTransitionTimers();
    }
  }
  if (repaint != 0) RepaintPicture();
}

void CUILibImage::SlideTo(const wchar_t* file, int direction, std::uint32_t durationMs) {
  if (slide_ || file == nullptr) return;
  uilib::ScopedTreeChange change(Library(), "SlideTo");
  Gdiplus::Image* current = uilib::ImageOf(Picture());
  const UINT w = current != nullptr ? current->GetWidth() : 0;
  const UINT h = current != nullptr ? current->GetHeight() : 0;
  const uilib::SlidePlaces places = uilib::SlideCompositePlaces(direction, static_cast<float>(w), static_cast<float>(h));
  auto composite = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(places.wide ? 2 * w : w),
                                                     static_cast<INT>(places.wide ? h : 2 * h), PixelFormat32bppARGB);
  uilib::TextureImagePtr incoming = uilib::LoadTextureFile(file);
  if (w == 0 || h == 0 || composite->GetLastStatus() != Gdiplus::Ok || incoming == nullptr) AtlThrow(uilib::kEFail);
  {
    Gdiplus::Graphics graphics(composite.get());
    graphics.DrawImage(current, Gdiplus::RectF(places.old_at.x, places.old_at.y, static_cast<Gdiplus::REAL>(w),
                                               static_cast<Gdiplus::REAL>(h)),
                       0, 0, static_cast<Gdiplus::REAL>(w), static_cast<Gdiplus::REAL>(h), Gdiplus::UnitPixel);
    graphics.DrawImage(uilib::ImageOf(incoming), Gdiplus::RectF(places.new_at.x, places.new_at.y, static_cast<Gdiplus::REAL>(w),
                                                      static_cast<Gdiplus::REAL>(h)),
                       0, 0, static_cast<Gdiplus::REAL>(w), static_cast<Gdiplus::REAL>(h), Gdiplus::UnitPixel);
  }
  slide_ = std::make_unique<Slide>();
  slide_->start_ms = uilib::MonotonicNowMs();
  slide_->duration_ms = durationMs;
  slide_->direction = direction;
  slide_->new_picture = std::move(incoming);
  slide_->composite = uilib::AdoptImage(std::move(composite));
  uilib::ImageSlideList().Add(this);
  uilib::WakeImageTransitionTimers();
}
