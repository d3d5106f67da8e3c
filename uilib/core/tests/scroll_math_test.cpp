// Scroll positions of a native scroll bar and the offsets they give the
// scrolled element's children.
#include <gtest/gtest.h>

#include "tree_test_support.h"
#include "uilib/scroll_math.h"

namespace uilib {
namespace {

// Content 0..399 with a page of 100: the last position is 300.
constexpr ScrollState At(int position) { return ScrollState{100, 0, 399, position}; }

TEST(ScrollMathTest, LineAndPageStepsStopAtBothEndsAndSayWhenClipped) {
  EXPECT_EQ(ComputeScroll(kScrollLineDown, 0, At(0)).position, 10);
  EXPECT_EQ(ComputeScroll(kScrollPageDown, 0, At(50)).position, 150);

  ScrollOutcome down = ComputeScroll(kScrollPageDown, 0, At(250));
  EXPECT_EQ(down.position, 300);
  EXPECT_TRUE(down.at_end);
  EXPECT_TRUE(down.changed);
  // Already at the end: clipped again, so the end is reported again.
  down = ComputeScroll(kScrollLineDown, 0, At(300));
  EXPECT_TRUE(down.at_end);
  EXPECT_FALSE(down.changed);

  ScrollOutcome up = ComputeScroll(kScrollLineUp, 0, At(5));
  EXPECT_EQ(up.position, 0);
  EXPECT_TRUE(up.at_start);
  EXPECT_FALSE(ComputeScroll(kScrollPageUp, 0, At(150)).at_start);
}

TEST(ScrollMathTest, ThumbRequestsAreClampedAndOnlyTrackingReportsTheEnd) {
  EXPECT_EQ(ComputeScroll(kScrollThumbPosition, 120, At(0)).position, 120);
  EXPECT_EQ(ComputeScroll(kScrollThumbPosition, 999, At(0)).position, 300);
  EXPECT_FALSE(ComputeScroll(kScrollThumbPosition, 999, At(0)).at_end);
  EXPECT_TRUE(ComputeScroll(kScrollThumbTrack, 300, At(0)).at_end);
  EXPECT_EQ(ComputeScroll(kScrollThumbTrack, -5, At(40)).position, 0);
}

TEST(ScrollMathTest, ThumbPositionsBeyondSixteenBitsComeFromTheRecord) {
  EXPECT_EQ(ThumbTrackPosition(70000 & 0xFFFF, 70000), 70000);
  EXPECT_EQ(ThumbTrackPosition(0xFFFF, 131071), 131071);
  // A request the record knows nothing of: the message's signed word.
  EXPECT_EQ(ThumbTrackPosition(40, 0), 40);
  EXPECT_EQ(ThumbTrackPosition(0xFFFB, 12), -5);
}

TEST(ScrollMathTest, TopBottomAndEndScroll) {
  EXPECT_EQ(ComputeScroll(kScrollTop, 0, At(120)).position, 0);
  EXPECT_FALSE(ComputeScroll(kScrollTop, 0, At(120)).stop);
  EXPECT_TRUE(ComputeScroll(kScrollTop, 0, At(0)).stop);
  EXPECT_EQ(ComputeScroll(kScrollBottom, 0, At(120)).position, 300);
  EXPECT_TRUE(ComputeScroll(kScrollBottom, 0, At(300)).stop);
  EXPECT_TRUE(ComputeScroll(kScrollEnd, 0, At(120)).stop);
  EXPECT_EQ(ComputeScroll(kScrollEnd, 0, At(120)).position, 120);
  // Any other code goes to the requested position.
  EXPECT_EQ(ComputeScroll(12, 70, At(120)).position, 70);
}

// The scroll bar element's worked cases: range 0-199 with a page of 100, and
// range 0-99 with a page of 100 (nothing to scroll).
TEST(ScrollMathTest, PageAndLineStepsOfAScrollBarElement) {
  const ScrollOutcome first = ComputeScroll(kScrollPageDown, 0, ScrollState{100, 0, 199, 0});
  EXPECT_EQ(first.position, 100);
  EXPECT_FALSE(first.at_end);
  const ScrollOutcome second = ComputeScroll(kScrollPageDown, 0, ScrollState{100, 0, 199, 100});
  EXPECT_EQ(second.position, 100);
  EXPECT_TRUE(second.at_end);
  const ScrollOutcome line = ComputeScroll(kScrollLineDown, 0, ScrollState{100, 0, 99, 0});
  EXPECT_EQ(line.position, 0);
  EXPECT_TRUE(line.at_end);
}

TEST(ScrollMathTest, ContentShorterThanThePageDoesNotScroll) {
  const ScrollState short_content{100, 0, 49, 0};
  EXPECT_EQ(ComputeScroll(kScrollLineDown, 0, short_content).position, 0);
  EXPECT_EQ(ComputeScroll(kScrollBottom, 0, short_content).position, 0);
  EXPECT_EQ(ComputeScroll(kScrollThumbTrack, 40, short_content).position, 0);
}

TEST(ScrollOffsetTest, StaticChildrenTakeThePositionOthersPassTheirOwnOn) {
  auto lib = testing::LibraryWithWindow(
      "<element id='area'>"
      "  <element id='static'><element id='static-in-static'/></element>"
      "  <element id='fixed' style='position:absolute'>"
      "    <element id='static-in-fixed'/><element id='fixed-in-fixed' style='position:relative'/>"
      "  </element>"
      "</element>");
  ASSERT_NE(lib, nullptr);
  auto window = lib->BuildWindowTree("w");
  ASSERT_NE(window, nullptr);
  auto find = [&](const char* id) {
    std::vector<IUILibElement*> found;
    window->FindElementsById(found, id);
    return dynamic_cast<CUILibElement*>(found.at(0));
  };
  find("fixed")->SetScrollOffset(7);
  find("fixed-in-fixed")->SetScrollOffset(3);

  PropagateScrollOffset(find("area"), 40);
  EXPECT_EQ(find("static")->ScrollOffset(), 40);
  EXPECT_EQ(find("static-in-static")->ScrollOffset(), 40);
  EXPECT_EQ(find("fixed")->ScrollOffset(), 7);
  EXPECT_EQ(find("static-in-fixed")->ScrollOffset(), 7);
  EXPECT_EQ(find("fixed-in-fixed")->ScrollOffset(), 3);
  EXPECT_EQ(find("area")->ScrollOffset(), 0);
}

}  // namespace
}  // namespace uilib
