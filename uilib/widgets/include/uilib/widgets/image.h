// The image element: the shared picture behaviour (picture_element.h) plus a
// cross-fade from the old picture to a new one set with SetSource, and a slide
// of a new picture in from one of four sides (SlideTo) through a composite
// picture of both. Fades and slides each have a library-wide list walked by a
// 1 ms timer that keeps their elements repainting until they end, and that
// runs only while its list has elements.
// Painting is in win/image_paint.cpp.
#pragma once

#include <cstdint>
#include <memory>

#include "uilib/widgets/picture_element.h"

namespace uilib {

// The library-wide lists of image elements.
ElementList& ImageAnimationList();
ElementList& ImageFadeList();
ElementList& ImageSlideList();

// One step of the 100 ms animation timer over `list`: every listed picture
// moves on to its next frame, then one repaint of their
// union. The timers call it; tests call it to step an animation.
void TickPictureAnimations(ElementList& list);

// Starts the image elements' animation timer once, on the calling thread,
// and readies the fade and slide timers there (nothing without Win32).
void StartImageTimers();
// A fade or slide began (on any thread): the 1 ms fade and slide timers run
// on the timers' thread until their lists are empty again.
void WakeImageTransitionTimers();
// Whether a fade or slide timer runs now (for tests).
bool ImageTransitionTimersRunning();

}  // namespace uilib

class CUILibImage : public CUILibPictureElement {
 public:
  CUILibImage(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  // Leaves the fade and slide lists before the pictures go.
  ~CUILibImage() override;
  const char* KindName() const override { return "CUILibImage"; }

  // The downloaded remote picture fades in over 200 ms.
  void OnFileDownloaded(uilib::DownloadRecord* record) override;

  // IUILibImage
  void SetSource(const wchar_t* source, std::uint32_t fadeMs, int repaint) override;
  void SlideTo(const wchar_t* file, int direction, std::uint32_t durationMs) override;

  bool IsFading() const { return fade_ != nullptr; }
  bool IsSliding() const { return slide_ != nullptr; }

 private:
  struct Fade {
    std::uint64_t start_ms = 0;
    std::uint32_t duration_ms = 0;
    uilib::TextureImagePtr old_picture;
  };
  struct Slide {
    std::uint64_t start_ms = 0;
    std::uint32_t duration_ms = 0;
    int direction = 0;
    uilib::TextureImagePtr old_picture;
    uilib::TextureImagePtr new_picture;
    uilib::TextureImagePtr composite;
  };

  // A fade or slide whose time is up ends; a finished slide's new picture
  // becomes the current one.
  bool EndFinishedTransitions(std::uint64_t now_ms) override;
  bool DrawTransition(Gdiplus::Graphics* graphics, Gdiplus::Image* picture, const uilib::RectF& dest,
                      std::uint64_t now_ms) override;

  std::unique_ptr<Fade> fade_;
  std::unique_ptr<Slide> slide_;
};
