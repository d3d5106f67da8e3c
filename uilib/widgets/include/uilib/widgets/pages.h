// Paged content: a page frame shows one of its `page` children at a time, all
// stacked on its content rectangle, and slides to the next or previous page
// over 600 ms. Each page renders into an offscreen bitmap so that a slide
// moves finished pictures. Page painting is in win/page_paint.cpp.
#pragma once

#include <cstdint>
#include <vector>

#include "uilib/element.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/widgets/texture_image.h"

class CUILibPage : public CUILibElement {
 public:
  // A page starts disabled and hidden, so hit testing skips it until it
  // becomes the current page.
  CUILibPage(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  ~CUILibPage() override;
  const char* KindName() const override { return "CUILibPage"; }

  // Live (snapshot clear): renders into the bitmap, then draws it. Snapshot:
  // draws the cached bitmap (rendering it first only when it is not valid yet
  // and the page is visible).
  void Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) override;

  // Keeps the offscreen bitmap when it is at least the page's size, else
  // (re)creates it and marks the cache invalid. An empty page gets none.
  void EnsureBitmap();

  // The live current page: snapshot clear, enabled, visible.
  void MakeLive();
  // During a slide: snapshot, disabled, hidden.
  void MakeSnapshot();
  void SetVisible(bool visible) { visible_ = visible; }
  void SetOffset(float dx, float dy) {
    offset_x_ = dx;
    offset_y_ = dy;
  }

  bool IsVisible() const { return visible_; }
  bool IsSnapshot() const { return snapshot_; }
  bool IsCacheValid() const { return cache_valid_; }
  bool HasBitmap() const { return bitmap_ != nullptr; }
  uilib::PointF Offset() const { return {offset_x_, offset_y_}; }

 private:
  uilib::TextureImagePtr bitmap_;
  bool snapshot_ = true;
  bool visible_ = false;
  float offset_x_ = 0.0f;
  float offset_y_ = 0.0f;
  bool cache_valid_ = false;
};

// Children that are not pages are not part of the frame: they are not listed,
// laid out with no size, never painted and never hit.
class CUILibPageFrame : public CUILibElement, public IUILibPageFrame {
 public:
  CUILibPageFrame(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  const char* KindName() const override { return "CUILibPageFrame"; }

  // Every page in the same content rectangle (the frame minus its padding).
  void Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) override;

  // IUILibPageFrame: false while a slide runs; the library's error path when
  // the frame has no pages.
  int ShowNext() override { return StartSlide(true); }
  int ShowPrevious() override { return StartSlide(false); }

  // One step of the slide at progress p (ends it at p = 1).
  void SlideStep(bool next, float progress);

  int CurrentIndex() const { return current_; }
  size_t PageCount() const { return pages_.size(); }
  bool IsBusy() const { return busy_; }
  CUILibPage* Page(size_t index) const { return index < pages_.size() ? pages_[index] : nullptr; }

 private:
  void CollectPages();
  int StartSlide(bool next);
  size_t Neighbour(bool next) const;

  std::vector<CUILibPage*> pages_;
  size_t current_ = 0;
  bool busy_ = false;
};
