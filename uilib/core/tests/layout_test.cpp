// The remaining-area placement on small synthetic trees.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

#include "layout_test_support.h"
#include "recording_window_services.h"
#include "uilib/iuilib_kinds.h"

namespace uilib {
namespace {

using testing::LayOut;

std::string Box(const char* id, const std::string& style, const std::string& children = "") {
  return std::string("<element id=\"") + id + "\" style=\"" + style + "\">" + children + "</element>";
}

TEST(LayoutInlineTest, RowsWrapBelowTheElementThatEndedTheLine) {
  // Equal heights: below b there is no room inside b's line, so c wraps to
  // the start of the row, and d follows c on the new line.
  auto even = LayOut(Box("p", "width:100px;height:100px;",
                         Box("a", "width:40px;height:10px;") + Box("b", "width:40px;height:10px;") +
                             Box("c", "width:40px;height:10px;") + Box("d", "width:40px;height:10px;")),
                     200, 200);
  EXPECT_EQ(even.RectOf("a"), (RectF{0, 0, 40, 10}));
  EXPECT_EQ(even.RectOf("b"), (RectF{40, 0, 40, 10}));
  EXPECT_EQ(even.RectOf("c"), (RectF{0, 10, 40, 10}));
  EXPECT_EQ(even.RectOf("d"), (RectF{40, 10, 40, 10}));

  // A line as tall as a leaves room below b: c goes there, inside b's area.
  auto tall = LayOut(Box("p", "width:100px;height:100px;",
                         Box("a", "width:40px;height:30px;") + Box("b", "width:40px;height:10px;") +
                             Box("c", "width:40px;height:10px;")),
                     200, 200);
  EXPECT_EQ(tall.RectOf("b"), (RectF{40, 0, 40, 10}));
  EXPECT_EQ(tall.RectOf("c"), (RectF{40, 10, 40, 10}));
}

TEST(LayoutInlineTest, VeryLongRowsNeitherExhaustTheStackNorLoseTheirPlaces) {
  // Every cell of a row is placed beside the one before it; a row of tens of
  // thousands of cells must be laid out like a short one.
  constexpr int kCells = 60000;
  auto row = LayOut(Box("p", "width:60000px;height:20px;",
                        "<element dup=\"" + std::to_string(kCells - 2) + "\" style=\"width:1px;height:10px;\"/>" +
                            Box("last", "width:1px;height:10px;") + Box("wrapped", "width:1px;height:10px;")),
                    60000, 20);
  EXPECT_EQ(row.RectOf("last"), (RectF{kCells - 1, 0, 1, 10}));
  EXPECT_EQ(row.RectOf("wrapped"), (RectF{0, 10, 1, 10}));
}

TEST(LayoutInlineTest, TallerFollowerAndFullWidthElementGoBelow) {
  auto w = LayOut(Box("p", "width:100px;height:100px;",
                      Box("a", "width:40px;height:10px;") + Box("tall", "width:20px;height:30px;") +
                          Box("full", "width:100%;height:10px;") + Box("after", "width:10px;height:10px;")),
                  200, 200);
  EXPECT_EQ(w.RectOf("a"), (RectF{0, 0, 40, 10}));
  EXPECT_EQ(w.RectOf("tall"), (RectF{0, 10, 20, 30}));  // the line is only as tall as a
  EXPECT_EQ(w.RectOf("full"), (RectF{20, 10, 80, 10}));  // all that remains of tall's line
  EXPECT_EQ(w.RectOf("after"), (RectF{20, 20, 10, 10}));
}

TEST(LayoutOversizeTest, FirstChildShrinksLaterChildEndsPlacement) {
  auto first = LayOut(Box("p", "width:100px;height:50px;", Box("big", "width:150px;height:80px;")), 200, 200);
  EXPECT_EQ(first.RectOf("big"), (RectF{0, 0, 100, 50}));

  auto later = LayOut(Box("p", "width:100px;height:50px;",
                          Box("a", "width:10px;height:10px;") + Box("big", "width:150px;height:10px;") +
                              Box("c", "width:10px;height:10px;")),
                      200, 200);
  EXPECT_EQ(later.RectOf("a"), (RectF{0, 0, 10, 10}));
  EXPECT_EQ(later.RectOf("big").w, 0);
  EXPECT_EQ(later.RectOf("big").h, 0);
  EXPECT_EQ(later.RectOf("c").w, 0);
}

TEST(LayoutZeroSizeTest, ZeroSizedParentsGiveChildrenNoSize) {
  // The default width is 0 px.
  auto w = LayOut(Box("p", "height:50px;", Box("c", "width:10px;height:10px;")) +
                      Box("q", "width:50px;height:50px;", Box("d", "width:10px;height:10px;")),
                  200, 200);
  EXPECT_EQ(w.RectOf("p").w, 0);
  EXPECT_EQ(w.RectOf("c").w, 0);
  EXPECT_EQ(w.RectOf("c").h, 0);
  // q goes beside p's (empty) place; a relayout into an empty client area
  // then empties the whole tree.
  EXPECT_EQ(w.RectOf("d"), (RectF{0, 0, 10, 10}));
  w.window->Layout(RectF{0, 0, 200, 0}, nullptr, nullptr);
  EXPECT_EQ(w.RectOf("q").h, 0);
}

TEST(LayoutSizeTest, AutoMarginsCentreAndMarginsCountInsideAutoWidths) {
  auto w = LayOut(Box("p", "width:100px;height:50px;", Box("c", "width:20px;height:10px;margin:auto")) +
                      Box("auto", "width:auto;height:20px;margin:0px 5px;",
                          Box("inner", "width:30px;height:10px;")) +
                      Box("empty", "width:auto;height:5px;margin:0px 7px;"),
                  200, 200);
  EXPECT_EQ(w.RectOf("c"), (RectF{40, 20, 20, 10}));
  // Measured 30, plus both margins inside the width.
  EXPECT_EQ(w.RectOf("auto"), (RectF{105, 0, 40, 20}));
  EXPECT_EQ(w.RectOf("inner"), (RectF{105, 0, 30, 10}));
  // No children and nothing to measure: only the margins.
  EXPECT_EQ(w.RectOf("empty"), (RectF{157, 0, 14, 5}));
}

TEST(LayoutSizeTest, PercentagesReferToTheRemainingArea) {
  auto w = LayOut(Box("a", "width:50px;height:10px;") + Box("half", "width:50%;height:50%;margin:0px 5px;"),
                  200, 100);
  // 150 remain beside a: 75 minus both margins; half the line's height.
  EXPECT_EQ(w.RectOf("half"), (RectF{55, 0, 65, 5}));
}

TEST(LayoutOffsetTest, PixelOffsetsInOrderLaterOnesWin) {
  auto w = LayOut(Box("p", "width:100px;height:50px;",
                      Box("lr", "width:20px;height:10px;left:10px;right:5px;position:FIXED") +
                          Box("tb", "width:20px;height:10px;top:4px;bottom:3px;position:FIXED") +
                          Box("l", "width:20px;height:10px;left:10px;top:7px")),
                  200, 200);
  EXPECT_EQ(w.RectOf("lr"), (RectF{75, 0, 20, 10}));
  EXPECT_EQ(w.RectOf("tb"), (RectF{0, 43, 20, 10}));  // bottom moves down from the bottom edge
  EXPECT_EQ(w.RectOf("l"), (RectF{10, 7, 20, 10}));
}

// Percentage offsets take that fraction of the free space, from the side they name.
TEST(LayoutOffsetTest, PercentageOffsetsAreFractionsOfTheFreeSpace) {
  auto w = LayOut(Box("p", "width:100px;height:50px;",
                      Box("l", "width:20px;height:10px;left:50%;top:50%;position:FIXED") +
                          Box("r", "width:20px;height:10px;right:25%;bottom:0%;position:FIXED")),
                  200, 200);
  EXPECT_EQ(w.RectOf("l"), (RectF{40, 20, 20, 10}));
  EXPECT_EQ(w.RectOf("r"), (RectF{60, 40, 20, 10}));
}

// Auto margins with a percentage size: that share of the area, centred.
TEST(LayoutSizeTest, AutoMarginsWithPercentageSizeCentre) {
  auto w = LayOut(Box("p", "width:100px;height:50px;", Box("c", "width:50%;height:50%;margin:auto")), 200, 200);
  EXPECT_EQ(w.RectOf("c"), (RectF{25, 12, 50, 25}));
}

TEST(LayoutNextAreaTest, FixedRightBlockAndOverlayingDisplays) {
  auto w = LayOut(Box("fixed", "width:30px;height:10px;position:FIXED") + Box("a", "width:10px;height:10px;"), 100,
                  100);
  EXPECT_EQ(w.RectOf("a"), (RectF{0, 0, 10, 10}));  // a FIXED element takes no room

  auto right = LayOut(Box("r", "width:20px;height:10px;right:0px") + Box("a", "width:100%;height:10px;"), 100, 100);
  EXPECT_EQ(right.RectOf("r"), (RectF{80, 0, 20, 10}));
  EXPECT_EQ(right.RectOf("a"), (RectF{0, 0, 80, 10}));  // the area lost r's width

  auto block = LayOut(Box("a", "width:10px;height:10px;display:BLOCK") + Box("b", "width:10px;height:10px;"), 100,
                      100);
  EXPECT_EQ(block.RectOf("b"), (RectF{0, 10, 10, 10}));

  auto over = LayOut(Box("a", "width:30px;height:30px;") + Box("b", "width:10px;height:10px;display:INLINE_BLOCK"),
                     100, 100);
  EXPECT_EQ(over.RectOf("b"), (RectF{0, 0, 10, 10}));
}

TEST(LayoutExtentTest, VisibleRectGrowsToTheContent) {
  auto w = LayOut(Box("p", "width:100px;height:50px;", Box("c", "width:20px;height:10px;left:150px;top:70px")), 300,
                  300);
  EXPECT_EQ(w.ById("p")->VisibleRect(), (RectF{0, 0, 170, 80}));
}

TEST(LayoutScrollTest, OverflowScrollReservesTheStripAndUnboundsTheHeight) {
  auto w = LayOut(Box("p", "width:100px;height:50px;overflow:scroll;padding:0px 0px 4px 0px;",
                      Box("a", "width:100%;height:30px;") + Box("b", "width:100%;height:30px;") +
                          Box("c", "width:100%;height:30px;")),
                  200, 200);
  testing::RecordingServices services(w.window.get());
  w.window->Layout(RectF{0, 0, 200, 200}, nullptr, nullptr);
  EXPECT_EQ(w.RectOf("a"), (RectF{0, 0, 83, 30}));
  EXPECT_EQ(w.RectOf("c"), (RectF{0, 60, 83, 30}));  // below the element's own bottom
  auto* bar = static_cast<testing::RecordingScrollBar*>(w.ById("p")->NativeScrollBarControl());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->maximum, 90 + 4 - 1);
  EXPECT_EQ(bar->page, 50);
  EXPECT_EQ(bar->moved, (RepaintRect{83, 0, 100, 50}));
}

TEST(LayoutScrollTest, VscrollUnboundsHeightOnlyWhenTheScrollBarExists) {
  auto linked = LayOut(Box("p", "width:100px;height:50px;", Box("c", "width:10px;height:100%;")) +
                           "<scrollbar id=\"sb\" style=\"width:10px;height:50px;\"/>",
                       200, 200);
  // Without the attribute the child takes the parent's height.
  EXPECT_EQ(linked.RectOf("c").h, 50);

  auto with_bar = LayOut(std::string("<element id=\"p\" vscroll=\"sb\" style=\"width:100px;height:50px;\">") +
                             Box("c", "width:10px;height:100%;") + "</element>" +
                             "<scrollbar id=\"sb\" style=\"width:10px;height:50px;\"/>",
                         200, 200);
  EXPECT_EQ(with_bar.ById("p")->LinkedScrollBar(), with_bar.ById("sb"));
  EXPECT_GT(with_bar.RectOf("c").h, 1e30f);

  auto missing = LayOut(std::string("<element id=\"p\" vscroll=\"nosuch\" style=\"width:100px;height:50px;\">") +
                            Box("c", "width:10px;height:100%;") + "</element>",
                        200, 200);
  EXPECT_EQ(missing.ById("p")->LinkedScrollBar(), nullptr);
  EXPECT_EQ(missing.RectOf("c").h, 50);
}

TEST(LayoutScrollTest, ALinkedScrollBarDestroyedLaterIsNotReachedAnyMore) {
  auto w = LayOut(std::string("<label id=\"p\" vscroll=\"sb\" style=\"width:100px;height:50px;\"/>") +
                      "<element id=\"holder\" style=\"width:10px;height:50px;\"/>",
                  200, 200);
  TiXmlDocument bar;
  bar.Parse("<scrollbar id=\"sb\" style=\"width:10px;height:50px;\"/>");
  w.ById("holder")->AppendChildren(bar.RootElement());
  w.window->Layout(RectF{0, 0, 200, 200}, nullptr, nullptr);
  ASSERT_EQ(w.ById("p")->LinkedScrollBar(), w.ById("sb"));
  // Rebuilt from its own XML copy, the holder loses the appended bar; the
  // label is not laid out again and must not keep the destroyed one.
  w.ById("holder")->Rebuild(0);
  ASSERT_EQ(w.ById("sb"), nullptr);
  EXPECT_EQ(w.ById("p")->LinkedScrollBar(), nullptr);
  EXPECT_EQ(w.ById("p")->ScrollPosition(), 0);
  dynamic_cast<IUILibLabel*>(w.ById("p"))->SetText(L"longer text");
}

TEST(LayoutMeasureTest, AutoSizedParentMeasuresItsChildrenWithPadding) {
  auto w = LayOut(Box("p", "width:auto;height:auto;padding:3px 0px 0px 2px;margin:0px",
                      Box("a", "width:10px;height:10px;") + Box("b", "width:15px;height:20px;display:BLOCK")),
                  200, 200);
  // Left and top padding are part of the measured size, right and bottom are not.
  EXPECT_EQ(w.RectOf("p"), (RectF{0, 0, 17, 33}));
  EXPECT_EQ(w.RectOf("b"), (RectF{2, 13, 15, 20}));
}

}  // namespace
}  // namespace uilib
