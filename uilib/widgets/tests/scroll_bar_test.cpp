// The windowless scroll bar: thumb geometry, its records and their size
// checks, clicks on the track, and a thumb drag through the pending-drag
// queue. Natively and under Wine (where the records are Win32's own).
#include <gtest/gtest.h>

#include "../../core/tests/layout_test_support.h"
#include "../../core/tests/recording_window_services.h"
#include "uilib/button_state.h"
#include "uilib/error.h"
#include "uilib/scroll_math.h"
#include "uilib/widgets/scroll_bar.h"

namespace uilib {
namespace {

tagSCROLLINFO* AsInfo(ScrollRecord* r) { return reinterpret_cast<tagSCROLLINFO*>(r); }
tagSCROLLBARINFO* AsInfo(BarRecord* r) { return reinterpret_cast<tagSCROLLBARINFO*>(r); }

class ScrollBarTest : public ::testing::Test {
 protected:
  // A 20 x 100 bar at (180, 0) with range 0-199 and a page of 100.
  void SetUp() override {
    SetLeftButtonDown(false);
    w_ = testing::LayOut("<element style='width:180px;height:100px'/>"
                         "<scrollbar id='bar' style='width:20px;height:100%'/>",
                         200, 100);
    ASSERT_TRUE(w_.window);
    services_ = std::make_unique<testing::RecordingServices>(w_.window.get());
    bar_ = dynamic_cast<CUILibScrollBar*>(w_.ById("bar"));
    ASSERT_NE(bar_, nullptr);
    Set(kMaskRange | kMaskPage, 0, 199, 100, 0);
  }
  void Set(std::uint32_t mask, int minimum, int maximum, unsigned page, int position) {
    ScrollRecord r;
    r.mask = mask;
    r.minimum = minimum;
    r.maximum = maximum;
    r.page = page;
    r.position = position;
    bar_->SetScrollInfo(AsInfo(&r), 0);
  }

  MouseRouter& Router() { return services_->router; }

  testing::LaidOutWindow w_;
  std::unique_ptr<testing::RecordingServices> services_;
  CUILibScrollBar* bar_ = nullptr;
};

TEST_F(ScrollBarTest, ThumbGeometryFollowsRangePageAndPosition) {
  EXPECT_EQ(bar_->Bar().left, 180);
  EXPECT_EQ(bar_->Bar().right, 200);
  EXPECT_EQ(bar_->Bar().line_button, 20);
  EXPECT_EQ(bar_->Bar().thumb_top, 0);
  EXPECT_EQ(bar_->Bar().thumb_bottom, 50);

  // Position 99 of span 99: the thumb reaches the bottom of its track.
  bar_->SetScrollPos(99, 0);
  EXPECT_EQ(bar_->Bar().thumb_top, 50);
  EXPECT_EQ(bar_->Bar().thumb_bottom, 100);

  // A page of 0 is stored as 1.
  Set(kMaskPage, 0, 0, 0, 0);
  EXPECT_EQ(bar_->Scroll().page, 1u);

  // Nothing to scroll (span 0) or an empty range: no fault, the thumb stays
  // within the bar.
  Set(kMaskRange | kMaskPage | kMaskPosition, 0, 100, 100, 0);
  EXPECT_GE(bar_->Bar().thumb_top, 0);
  Set(kMaskRange, 5, 5, 0, 0);
  EXPECT_LE(bar_->Bar().thumb_bottom - bar_->Bar().thumb_top, 100);

  // Layout with a new size recomputes the rectangle and the thumb.
  Set(kMaskRange | kMaskPage | kMaskPosition, 0, 199, 100, 0);
  w_.window->Layout(RectF{0, 0, 200, 60}, nullptr, nullptr);
  EXPECT_EQ(bar_->Bar().bottom, 60);
  EXPECT_EQ(bar_->Bar().thumb_bottom, 30);
}

TEST_F(ScrollBarTest, RecordsWithAWrongSizeFailAndChangeNothing) {
  ScrollRecord wrong;
  wrong.size = 32;
  wrong.mask = kMaskPosition;
  wrong.position = 50;
  EXPECT_THROW(bar_->GetScrollInfo(AsInfo(&wrong)), CAtlException);
  EXPECT_THROW(bar_->SetScrollInfo(AsInfo(&wrong), 0), CAtlException);
  EXPECT_EQ(bar_->GetScrollPos(), 0);
  BarRecord wrong_bar;
  wrong_bar.size = 28;
  EXPECT_THROW(bar_->GetScrollBarInfo(AsInfo(&wrong_bar)), CAtlException);

  // Mask 4 fills only the position.
  bar_->SetScrollPos(42, 0);
  ScrollRecord out;
  out.mask = kMaskPosition;
  out.minimum = out.maximum = out.track_position = -7;
  out.page = 7;
  EXPECT_EQ(bar_->GetScrollInfo(AsInfo(&out)), 1);
  EXPECT_EQ(out.position, 42);
  EXPECT_EQ(out.maximum, -7);
  EXPECT_EQ(out.page, 7u);
  EXPECT_EQ(out.track_position, -7);

  BarRecord bar;
  EXPECT_EQ(bar_->GetScrollBarInfo(AsInfo(&bar)), 1);
  EXPECT_EQ(bar.thumb_bottom, bar_->Bar().thumb_bottom);
}

TEST_F(ScrollBarTest, TrackClicksAskForPagesAndTheThumbDragsThroughTheQueue) {
  bar_->SetScrollPos(50, 0);  // thumb 25..75
  Router().OnButtonDown({190, 90});
  Router().OnButtonUp({190, 90});
  Router().OnButtonDown({190, 10});
  Router().OnButtonUp({190, 10});
  ASSERT_EQ(services_->scroll_requests.size(), 2u);
  EXPECT_EQ(services_->scroll_requests[0].code, kScrollPageDown);
  EXPECT_EQ(services_->scroll_requests[1].code, kScrollPageUp);
  services_->scroll_requests.clear();

  // From position 0, ten pixels down ask for (10 / (100 - 50)) x 99 = 19;
  // only the latest move of a tick becomes a request.
  bar_->SetScrollPos(0, 0);
  Router().OnButtonDown({190, 20});
  EXPECT_TRUE(bar_->IsDragging());
  Router().OnMouseMove({190, 25});
  Router().OnMouseMove({190, 30});
  EXPECT_TRUE(services_->scroll_requests.empty());
  EXPECT_TRUE(CUILibScrollBar::PendingDragStep());
  EXPECT_FALSE(CUILibScrollBar::PendingDragStep());  // nothing queued: the timer may stop
  ASSERT_EQ(services_->scroll_requests.size(), 1u);
  EXPECT_EQ(services_->scroll_requests[0].code, kScrollThumbTrack);
  EXPECT_EQ(services_->scroll_requests[0].track, 19);
  EXPECT_EQ(bar_->Scroll().track_position, 19);

  // Far beyond the end: limited to maximum - page + 1.
  Router().OnMouseMove({190, 400});
  CUILibScrollBar::PendingDragStep();
  EXPECT_EQ(services_->scroll_requests.back().track, 100);
  Router().OnButtonUp({190, 400});
  EXPECT_FALSE(bar_->IsDragging());
  EXPECT_GE(services_->releases, 1);
}

TEST(ScrollBarDragTest, ADragStartsWithoutAJumpWhateverPartZeroAndTheMinimum) {
  ScrollRecord r;
  r.minimum = 10;
  r.maximum = 209;
  r.page = 100;
  r.position = 60;
  const ScrollBarParts parts{12, 8, 0};
  const ThumbExtent thumb = ComputeThumb(r, parts, 120.0f, 120, 50);
  const int length = thumb.bottom - thumb.top;
  EXPECT_EQ(DragPosition(r, parts, 120.0f, length, 0.0f), 60);
  // Moving the thumb by its whole travel covers the whole span.
  const float travel = 120.0f - 12 - 8 - length;
  r.position = 10;
  EXPECT_EQ(DragPosition(r, parts, 120.0f, length, travel), 10 + 99);
  EXPECT_EQ(DragPosition(r, parts, 120.0f, length, -500.0f), 10);
  // A bar with no travel left does not move.
  EXPECT_EQ(DragPosition(r, ScrollBarParts{60, 60, 0}, 120.0f, 0, 30.0f), 10);
}

}  // namespace
}  // namespace uilib
