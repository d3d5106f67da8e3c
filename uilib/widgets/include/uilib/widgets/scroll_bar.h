// The windowless vertical scroll bar (`scrollbar`). Its client interface
// copies the Win32 scroll bar model (range, page, position, track position)
// with records laid out like SCROLLINFO and SCROLLBARINFO. Elements whose
// `vscroll` names its id are scrolled by the window when the position
// changes. Clicks on the track ask the window for page steps at once; a thumb
// drag feeds the library's pending-drag queue, which a 10 ms timer turns into
// at most one thumb-track request per tick. Painting is in
// win/scroll_bar_paint.cpp.
#pragma once

#include "uilib/element.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/style_values.h"
#include "uilib/widgets/scroll_bar_geometry.h"
#include "uilib/widgets/texture_image.h"

class CUILibScrollBar : public CUILibElement, public IUILibScrollBar {
 public:
  // Reads `texture%d`, `texture-size%d` and `texture-margin%d` for parts 0-3.
  CUILibScrollBar(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  ~CUILibScrollBar() override;
  const char* KindName() const override { return "CUILibScrollBar"; }

  // The base layout, then the bar rectangle and the thumb for the new size.
  void Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) override;
  // Background, the thumb (part 1's image as a nine-grid, in its normal,
  // hovered or pressed frame), children and overlay.
  void Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) override;
  int OnLButtonDown(uilib::PointF point) override;
  int OnLButtonUp(uilib::PointF point) override;
  int OnMouseMove(uilib::PointF point) override;
  int OnMouseLeave() override;
  // The base behaviour, then the bar registers under its id with its window.
  void OnAttach(uilib::NativeWindow window) override;

  // IUILibScrollBar. Records whose size field is wrong fail through the
  // library's error path (CAtlException) and change nothing.
  int GetScrollPos() override { return scroll_.position; }
  int SetScrollPos(int position, int redraw) override;
  int GetScrollRange(int* minimum, int* maximum) override;
  int SetScrollRange(int minimum, int maximum, int redraw) override;
  int GetScrollInfo(tagSCROLLINFO* info) override;
  int SetScrollInfo(const tagSCROLLINFO* info, int redraw) override;
  int Reserved1() override { return 0; }
  int GetScrollBarInfo(tagSCROLLBARINFO* info) override;
  void Reserved2(std::intptr_t) override {}
  int Reserved3(std::intptr_t) override { return 1; }

  const uilib::ScrollRecord& Scroll() const { return scroll_; }
  const uilib::BarRecord& Bar() const { return bar_; }
  bool IsDragging() const { return dragging_; }
  bool IsThumbHovered() const { return thumb_hovered_; }

  // One tick of the library's 10 ms pending-drag timer: the latest queued
  // drag position becomes a thumb-track request (or, once the drag ended, the
  // position itself). False when nothing was queued.
  static bool PendingDragStep();

 private:
  struct Part {
    uilib::TextureImagePtr image;
    int width = 0;
    int height = 0;
    uilib::BackgroundPaint margins;
  };

  // SetScrollInfo on plain records.
  void Update(const uilib::ScrollRecord& info, bool redraw);
  uilib::ScrollBarParts Parts() const;
  int ThumbLength() const { return bar_.thumb_bottom - bar_.thumb_top; }
  bool OnThumb(uilib::PointF point) const;
  void StartDrag();
  void RepaintGrown();
  // Part 1's frame to draw: 0 normal, 1 hovered, 2 hovered and pressed.
  int ThumbFrame() const;

  uilib::ScrollRecord scroll_;
  uilib::BarRecord bar_;
  Part parts_[4];
  bool dragging_ = false;
  bool thumb_hovered_ = false;
  uilib::PointF press_point_;
  uilib::ScrollRecord press_scroll_;
  uilib::BarRecord press_bar_;
};
