#include "uilib/nine_grid.h"

#include <gtest/gtest.h>

namespace uilib {
namespace {

std::vector<RectF> Dests(const std::vector<NineGridPiece>& pieces) {
  std::vector<RectF> out;
  for (const auto& p : pieces) out.push_back(p.dest);
  return out;
}

const RectF kSource{0, 0, 30, 30};
const NineGridSlices kSlices{10, 10, 10, 10};

TEST(NineGridTest, WideDestinationKeepsCornersAndStretchesTheMiddle) {
  auto pieces = CutNineGrid(kSource, kSlices, RectF{100, 200, 50, 40});
  ASSERT_EQ(pieces.size(), 9u);
  EXPECT_EQ(pieces[0].dest, (RectF{100, 200, 10, 10}));
  EXPECT_EQ(pieces[4].dest, (RectF{110, 210, 30, 20}));
  EXPECT_EQ(pieces[4].source, (RectF{10, 10, 10, 10}));
  EXPECT_EQ(pieces[8].dest, (RectF{140, 230, 10, 10}));
  EXPECT_TRUE(pieces[0].corner);
  EXPECT_FALSE(pieces[1].corner);
}

TEST(NineGridTest, NarrowDestinationGivesTheRightColumnWhatRemains) {
  auto pieces = CutNineGrid(kSource, kSlices, RectF{0, 0, 15, 30});
  // No middle column; left 10 wide, right 5 wide.
  EXPECT_EQ(Dests(pieces), (std::vector<RectF>{{0, 0, 10, 10}, {10, 0, 5, 10}, {0, 10, 10, 10}, {10, 10, 5, 10},
                                                {0, 20, 10, 10}, {10, 20, 5, 10}}));
  auto only_left = CutNineGrid(kSource, kSlices, RectF{0, 0, 7, 30});
  ASSERT_EQ(only_left.size(), 3u);
  EXPECT_EQ(only_left[0].dest, (RectF{0, 0, 7, 10}));
  EXPECT_EQ(only_left[0].source, (RectF{0, 0, 10, 10}));
}

TEST(NineGridTest, LowDestinationScalesTopAndBottomRowsInProportion) {
  auto pieces = CutNineGrid(kSource, NineGridSlices{10, 6, 10, 2}, RectF{0, 0, 30, 4});
  ASSERT_EQ(pieces.size(), 6u);
  EXPECT_EQ(pieces[0].dest, (RectF{0, 0, 10, 3}));
  EXPECT_EQ(pieces[3].dest, (RectF{0, 3, 10, 1}));
}

TEST(NineGridTest, EmptyPiecesAreSkipped) {
  auto pieces = CutNineGrid(kSource, NineGridSlices{0, 0, 0, 0}, RectF{0, 0, 60, 60});
  ASSERT_EQ(pieces.size(), 1u);  // only the centre
  EXPECT_EQ(pieces[0].dest, (RectF{0, 0, 60, 60}));
  EXPECT_TRUE(CutNineGrid(kSource, kSlices, RectF{0, 0, 0, 10}).empty());
}

}  // namespace
}  // namespace uilib
