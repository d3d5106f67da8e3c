// What the image and the ad element share: one picture (from `src`, its
// `default-src` placeholder, a remote `src` fetched at the first visible
// paint, the client, or a client's image provider), its interpolation mode,
// `keepaspect` fitting for painting and `auto` sizes, the `dropshadow` edge and
// the animation of multi-frame pictures on a library-wide 100 ms timer.
// Painting is in win/picture_element_paint.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "uilib/element.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/widgets/element_list.h"
#include "uilib/widgets/texture_image.h"

// A client object registered with RegisterHandler and named by
// `img_provider="uilib::Name"`: supplies the picture on every paint. It keeps
// ownership of what it returns.
class ImageProvider {
 public:
  virtual void ProvideImage(const char* elementId, int width, int height, Gdiplus::Image** out) = 0;

 protected:
  ~ImageProvider() = default;
};

class CUILibPictureElement : public CUILibElement, public IUILibImage {
 public:
  // `animation_list`: the library-wide list of animated pictures of the kind.
  // `repaint_on_download`: whether the first-paint download of a remote `src`
  // repaints on arrival.
  CUILibPictureElement(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib,
                       uilib::ElementList& animation_list, bool repaint_on_download);
  // Leaves the animation list before the picture goes.
  ~CUILibPictureElement() override;

  // The picture fitted into the rectangle (no background or border), the
  // shadow edge, then the children and the overlay.
  void Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) override;
  int MeasureContent(Gdiplus::Graphics* graphics, uilib::SizeF* size, const uilib::SizeF& avail) override;

  // IUILibImage (SetSource and SlideTo are the kinds' own).
  void Invalidate() override;
  void SetImage(Gdiplus::Image* image, int ignored, int repaint) override;
  void SetBitmap(uilib::NativeBitmap bitmap, int ignored, int repaint) override;

  // The timer's step for one listed element: move to the next frame
  // (wrapping) and show it.
  void AdvanceFrame();

  // State for tools and tests.
  bool HasImage() const { return picture_ != nullptr; }
  uilib::SizeF PictureSize() const;
  // The frame count read by the last paint (0 before one).
  int FrameCount() const { return frame_count_; }
  // The current picture's frame count in the time dimension (0 without one).
  int PictureFrameCount() const;
  int FrameIndex() const { return frame_index_; }
  int InterpolationMode() const { return interpolation_; }
  bool IsRemote() const { return remote_; }
  bool IsRequested() const { return requested_; }
  bool IsAnimated() { return animation_list_.Contains(this); }
  const uilib::TextureImagePtr& Picture() const { return picture_; }

 protected:
  // Transitions of the image element: ends those whose time is up (true when
  // the current picture changed) and draws a running one (true when drawn).
  virtual bool EndFinishedTransitions(std::uint64_t) { return false; }
  virtual bool DrawTransition(Gdiplus::Graphics*, Gdiplus::Image*, const uilib::RectF&, std::uint64_t) {
    return false;
  }

  // The picture drawn now: the provider's, else the own one (registering a
  // multi-frame picture for animation). Starts a pending remote download.
  Gdiplus::Image* PictureForPaint();
  // The repaint request for the element's rectangle, moved up by the scroll offset.
  void RepaintPicture();
  // A new current picture; its animation starts again from the first frame.
  void ReplacePicture(uilib::TextureImagePtr picture);
  uilib::TextureImagePtr TakePicture() { return std::move(picture_); }
  void SetRemoteSource(const std::string& address);

 private:
  Gdiplus::Image* ProviderPicture();

  uilib::ElementList& animation_list_;
  bool repaint_on_download_ = false;
  uilib::TextureImagePtr picture_;
  ImageProvider* provider_ = nullptr;
  int interpolation_ = 3;
  int frame_count_ = 0;
  int frame_index_ = 0;
  bool remote_ = false;
  bool requested_ = false;
  std::string source_;
};
