// The GDI+ side of the picture shared by the image and the ad element.
#include <algorithm>

#include "uilib/animation.h"
#include "uilib/tree_lock.h"
#include "uilib/widgets/image_fit.h"
#include "uilib/widgets/picture_element.h"
#include "uilib/widgets/rect_ops.h"
#include "uilib/widgets/win/texture_image_win.h"

namespace {

// The frame count of a picture in the time dimension (1 for a still picture).
int TimeFrameCount(Gdiplus::Image* picture) {
  const UINT count = picture->GetFrameCount(&Gdiplus::FrameDimensionTime);
  return picture->GetLastStatus() == Gdiplus::Ok ? static_cast<int>(count) : 1;
}

}  // namespace

Gdiplus::Image* CUILibPictureElement::ProviderPicture() {
  Gdiplus::Image* provided = nullptr;
  provider_->ProvideImage(Id().c_str(), static_cast<int>(Rect().w), static_cast<int>(Rect().h), &provided);
  return provided;
}

Gdiplus::Image* CUILibPictureElement::PictureForPaint() {
  if (remote_ && !requested_) {
    requested_ = true;
    DownloadFile(source_.c_str(), repaint_on_download_ ? 1 : 0);
    return uilib::ImageOf(picture_);
  }
  if (provider_ != nullptr) return ProviderPicture();
  Gdiplus::Image* picture = uilib::ImageOf(picture_);
  if (picture != nullptr && !animation_list_.Contains(this)) {
    frame_count_ = TimeFrameCount(picture);
    if (frame_count_ >= 2) animation_list_.Add(this);
  }
  return picture;
}

uilib::SizeF CUILibPictureElement::PictureSize() const {
  Gdiplus::Image* picture = uilib::ImageOf(picture_);
  if (picture == nullptr) return {};
  return {static_cast<float>(picture->GetWidth()), static_cast<float>(picture->GetHeight())};
}

int CUILibPictureElement::PictureFrameCount() const {
  Gdiplus::Image* picture = uilib::ImageOf(picture_);
  return picture != nullptr ? TimeFrameCount(picture) : 0;
}

int CUILibPictureElement::MeasureContent(Gdiplus::Graphics*, uilib::SizeF* size, const uilib::SizeF& avail) {
  if (size == nullptr) return 0;
  Gdiplus::Image* picture = provider_ != nullptr ? ProviderPicture() : uilib::ImageOf(picture_);
  if (picture == nullptr) return 0;
  const float width = size->w != 0 ? size->w : avail.w;
  *size = uilib::MeasurePicture(width, avail.h, static_cast<float>(picture->GetWidth()),
                                static_cast<float>(picture->GetHeight()), uilib::KeepsAspect(Style().Values().keepaspect));
  return 1;
}

void CUILibPictureElement::SetImage(Gdiplus::Image* image, int, int repaint) {
  uilib::ScopedTreeChange change(Library(), "SetImage");
  ReplacePicture(image != nullptr ? uilib::AdoptImage(std::unique_ptr<Gdiplus::Image>(image)) : nullptr);
  if (repaint != 0) RepaintPicture();
}

void CUILibPictureElement::SetBitmap(uilib::NativeBitmap bitmap, int, int repaint) {
  uilib::ScopedTreeChange change(Library(), "SetBitmap");
  ReplacePicture(nullptr);
  std::unique_ptr<Gdiplus::Bitmap> created(Gdiplus::Bitmap::FromHBITMAP(bitmap, nullptr));
  if (created == nullptr || created->GetLastStatus() != Gdiplus::Ok) return;
  ReplacePicture(uilib::AdoptImage(std::move(created)));
  if (repaint != 0) RepaintPicture();
}

void CUILibPictureElement::AdvanceFrame() {
  Gdiplus::Image* picture = uilib::ImageOf(picture_);
  if (picture == nullptr || frame_count_ < 2) return;
  // The frame shown since the last step is the current index: move on first.
  frame_index_ = (frame_index_ + 1) % frame_count_;
  picture->SelectActiveFrame(&Gdiplus::FrameDimensionTime, static_cast<UINT>(frame_index_));
}

void CUILibPictureElement::Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) {
  if (graphics == nullptr || uilib::HasNoArea(uilib::IntersectRects(Rect(), clip))) return;
  Gdiplus::Image* picture = PictureForPaint();
  uilib::RectF dest;
  if (picture != nullptr) {
    const std::uint64_t now_ms = uilib::MonotonicNowMs();
    // A finished slide makes its new picture the current one.
    if (EndFinishedTransitions(now_ms) && provider_ == nullptr) picture = uilib::ImageOf(picture_);
  }
  if (picture != nullptr) {
    const std::uint64_t now_ms = uilib::MonotonicNowMs();
    const auto w = static_cast<Gdiplus::REAL>(picture->GetWidth());
    const auto h = static_cast<Gdiplus::REAL>(picture->GetHeight());
    dest = uilib::FitPicture(Rect(), w, h, uilib::KeepsAspect(Style().Values().keepaspect));
    const Gdiplus::InterpolationMode previous = graphics->GetInterpolationMode();
    graphics->SetInterpolationMode(static_cast<Gdiplus::InterpolationMode>(interpolation_));
    if (!DrawTransition(graphics, picture, dest, now_ms)) {
      graphics->DrawImage(picture, Gdiplus::RectF(dest.x, dest.y, dest.w, dest.h), 0, 0, w, h, Gdiplus::UnitPixel);
    }
    graphics->SetInterpolationMode(previous);
    if (Style().Values().drop_shadow) {
      Gdiplus::Pen pen(Gdiplus::Color(255, 144, 144, 144), 1.0f);
      graphics->DrawLine(&pen, dest.x + 1, dest.y + dest.h, dest.x + dest.w, dest.y + dest.h);
      graphics->DrawLine(&pen, dest.x + dest.w, dest.y + 1, dest.x + dest.w, dest.y + dest.h);
    }
  }
  PaintChildren(graphics, clip);
  if (Overlay() != nullptr) Overlay()->Paint(graphics, clip);
}
