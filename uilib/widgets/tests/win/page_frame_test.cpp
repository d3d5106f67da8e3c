// The page frame: pages stacked on its content rectangle, slides driven by the
// element animation at exact moments of the library clock, wrap-around, the
// busy refusal, and children that are not pages.
#include <gtest/gtest.h>

#include "../../../core/tests/layout_test_support.h"
#include "../../../core/tests/recording_window_services.h"
#include "uilib/error.h"
#include "uilib/widgets/pages.h"
#include "picture_test_support.h"
#include "widget_paint_support.h"

namespace uilib {
namespace {

using testing::PixelAt;
using testing::RenderElement;

constexpr Gdiplus::ARGB kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

const char* kThreePages =
    "<pageframe id='f' style='width:300px;height:100px;'>"
    "<page style='background:rgb(255,0,0);'/>"
    "<page style='background:rgb(0,255,0);'/>"
    "<page style='background:rgb(0,0,255);'/>"
    "</pageframe>";

class PageFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    w_ = testing::LayOut(kThreePages, 300, 100);
    ASSERT_TRUE(w_.window);
    services_ = std::make_unique<testing::RecordingServices>(w_.window.get());
    frame_ = dynamic_cast<CUILibPageFrame*>(w_.ById("f"));
    ASSERT_NE(frame_, nullptr);
  }
  // Ticks the frame's running animation at `now_ms`.
  void Tick(std::uint64_t now_ms) {
    ASSERT_FALSE(services_->timers.empty());
    clock_.Set(now_ms);
    frame_->TickAnimation(services_->timers.back(), now_ms);
  }
  Gdiplus::ARGB ShownAt(int x) { return PixelAt(*RenderElement(frame_, 300, 100), x, 50); }

  testing::FakeClock clock_{0};
  testing::LaidOutWindow w_;
  std::unique_ptr<testing::RecordingServices> services_;
  CUILibPageFrame* frame_ = nullptr;
};

TEST_F(PageFrameTest, PagesShareTheContentRectangleAndOnlyTheFirstIsLive) {
  ASSERT_EQ(frame_->PageCount(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(frame_->Page(i)->Rect(), (RectF{0, 0, 300, 100}));
    EXPECT_TRUE(frame_->Page(i)->HasBitmap());
    EXPECT_EQ(frame_->Page(i)->IsDisabled(), i != 0);
  }
  EXPECT_EQ(ShownAt(10), kRed);
  EXPECT_EQ(ShownAt(290), kRed);
}

TEST_F(PageFrameTest, HalfWayThroughANextSlideBothPagesAreHalfShown) {
  clock_.Set(1000);
  ASSERT_TRUE(frame_->ShowNext());
  EXPECT_FALSE(frame_->ShowNext());  // within 600 ms
  EXPECT_FALSE(frame_->ShowPrevious());
  Tick(1300);
  EXPECT_EQ(frame_->Page(0)->Offset(), (PointF{-150, 0}));
  EXPECT_EQ(frame_->Page(1)->Offset(), (PointF{150, 0}));
  EXPECT_EQ(ShownAt(10), kRed);
  EXPECT_EQ(ShownAt(140), kRed);
  EXPECT_EQ(ShownAt(160), kGreen);
  EXPECT_EQ(services_->repaints.back(), (RepaintRect{0, 0, 301, 101}));
  Tick(1600);
  EXPECT_FALSE(frame_->IsBusy());
  EXPECT_EQ(frame_->CurrentIndex(), 1);
  EXPECT_EQ(ShownAt(10), kGreen);
  EXPECT_FALSE(frame_->Page(1)->IsDisabled());
  EXPECT_TRUE(frame_->Page(0)->IsDisabled());
  // Rebuilt pages: the current one is live again.
  frame_->Rebuild(0);
  ASSERT_EQ(frame_->PageCount(), 3u);
  EXPECT_EQ(ShownAt(10), kGreen);
}

TEST_F(PageFrameTest, ThreeNextSlidesReturnToTheFirstPageAndPreviousWrapsBack) {
  std::uint64_t now = 1000;
  for (int expected : {1, 2, 0}) {
    clock_.Set(now);
    ASSERT_TRUE(frame_->ShowNext());
    Tick(now + 600);
    EXPECT_EQ(frame_->CurrentIndex(), expected);
    now += 1000;
  }
  EXPECT_EQ(ShownAt(10), kRed);
  clock_.Set(now);
  ASSERT_TRUE(frame_->ShowPrevious());
  Tick(now + 300);
  // The previous page (the last) enters from the left.
  EXPECT_EQ(ShownAt(10), kBlue);
  EXPECT_EQ(ShownAt(160), kRed);
  Tick(now + 600);
  EXPECT_EQ(frame_->CurrentIndex(), 2);
}

TEST(PageFrameChildrenTest, ChildrenThatAreNotPagesAreSkipped) {
  auto w = testing::LayOut("<pageframe id='f' style='width:50px;height:20px;'>"
                           "<element id='x' style='width:10px;height:10px;background:rgb(0,0,255);'/>"
                           "<page style='background:rgb(255,0,0);'/>"
                           "<label id='y' style='width:10px;height:10px;'/>"
                           "<page style='background:rgb(0,255,0);'/>"
                           "</pageframe>",
                           50, 20);
  auto* frame = dynamic_cast<CUILibPageFrame*>(w.ById("f"));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->PageCount(), 2u);
  EXPECT_EQ(w.RectOf("x").w, 0);
  EXPECT_EQ(w.RectOf("y").w, 0);
  EXPECT_EQ(PixelAt(*RenderElement(frame, 50, 20), 5, 5), kRed);

  auto empty = testing::LayOut("<pageframe id='f' style='width:50px;height:20px;'><element/></pageframe>", 50, 20);
  auto* lonely = dynamic_cast<CUILibPageFrame*>(empty.ById("f"));
  ASSERT_NE(lonely, nullptr);
  EXPECT_EQ(lonely->PageCount(), 0u);
  EXPECT_THROW(lonely->ShowNext(), CAtlException);
}

}  // namespace
}  // namespace uilib
