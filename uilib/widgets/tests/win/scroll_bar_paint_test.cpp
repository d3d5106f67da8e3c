// What the scroll bar paints under Wine: part 1's frame for the thumb's
// state at the thumb's place, and no thumb without margins or with nothing
// to scroll.
#include <gtest/gtest.h>

#include "../../../core/tests/layout_test_support.h"
#include "../../../core/tests/recording_window_services.h"
#include "uilib/button_state.h"
#include "uilib/widgets/scroll_bar.h"
#include "widget_paint_support.h"

namespace uilib {
namespace {

using testing::PixelAt;
using testing::RenderElement;

constexpr Gdiplus::ARGB kNormal = 0xFFFF0000;
constexpr Gdiplus::ARGB kHovered = 0xFF00FF00;
constexpr Gdiplus::ARGB kPressed = 0xFF0000FF;

class ScrollBarPaintTest : public ::testing::Test {
 protected:
  // Three 10 x 20 frames: red, green, blue.
  void SetUp() override {
    SetLeftButtonDown(false);
    thumb_ = std::make_unique<Gdiplus::Bitmap>(30, 20, PixelFormat32bppARGB);
    Gdiplus::Graphics g(thumb_.get());
    const Gdiplus::ARGB frames[] = {kNormal, kHovered, kPressed};
    for (int i = 0; i < 3; ++i) {
      Gdiplus::SolidBrush brush{Gdiplus::Color(frames[i])};
      g.FillRectangle(&brush, i * 10, 0, 10, 20);
    }
  }
  void TearDown() override { SetLeftButtonDown(false); }

  // A 10 x 100 bar with range 0-`maximum` and a page of 100.
  CUILibScrollBar* Bar(const std::string& margin, int maximum) {
    w_ = testing::LayOut("<scrollbar id='bar' texture1='" + testing::HandleRef(thumb_.get()) +
                             "' texture-size1='10px 20px' " + margin + " style='width:10px;height:100px'/>",
                         10, 100);
    auto* bar = dynamic_cast<CUILibScrollBar*>(w_.ById("bar"));
    if (bar != nullptr) {
      bar->SetScrollRange(0, maximum, 0);
      bar->SetScrollPos(0, 0);
    }
    return bar;
  }
  Gdiplus::ARGB At(CUILibScrollBar* bar, int y) {
    auto rendered = RenderElement(bar, 10, 100);
    return PixelAt(*rendered, 5, y);
  }

  std::unique_ptr<Gdiplus::Bitmap> thumb_;
  testing::LaidOutWindow w_;
};

TEST_F(ScrollBarPaintTest, ThumbFollowsThePositionInTheFrameOfItsState) {
  CUILibScrollBar* bar = Bar("texture-margin1='2px 2px 2px 2px STRETCH'", 199);
  ASSERT_NE(bar, nullptr);
  // SetScrollRange leaves the page at 0 until a client sets it: page 100.
  ScrollRecord page;
  page.mask = kMaskPage;
  page.page = 100;
  bar->SetScrollInfo(reinterpret_cast<tagSCROLLINFO*>(&page), 0);
  EXPECT_EQ(At(bar, 10), kNormal);
  EXPECT_NE(At(bar, 75), kNormal);
  bar->SetScrollPos(99, 0);
  EXPECT_NE(At(bar, 10), kNormal);
  EXPECT_EQ(At(bar, 75), kNormal);

  testing::RecordingServices services(w_.window.get());
  services.router.OnMouseMove({5, 75});
  ASSERT_TRUE(bar->IsThumbHovered());
  EXPECT_EQ(At(bar, 75), kHovered);
  SetLeftButtonDown(true);
  EXPECT_EQ(At(bar, 75), kPressed);
}

TEST_F(ScrollBarPaintTest, NoThumbWithoutMarginsOrWithNothingToScroll) {
  CUILibScrollBar* without_margins = Bar("", 199);
  ASSERT_NE(without_margins, nullptr);
  EXPECT_NE(At(without_margins, 10), kNormal);
  // Height 100 = maximum + 1.
  CUILibScrollBar* nothing_to_scroll = Bar("texture-margin1='2px 2px 2px 2px STRETCH'", 99);
  ASSERT_NE(nothing_to_scroll, nullptr);
  EXPECT_NE(At(nothing_to_scroll, 10), kNormal);
}

}  // namespace
}  // namespace uilib
