// Base painting into a GDI+ bitmap: background brush, default brush, border,
// and the nine-grid painter.
#include <gtest/gtest.h>

#include "../layout_test_support.h"
#include "uilib/win/gdiplus_include.h"
#include "uilib/win/nine_grid_painter.h"

namespace uilib {
namespace {

Gdiplus::ARGB PixelAt(Gdiplus::Bitmap& bitmap, int x, int y) {
  Gdiplus::Color c;
  bitmap.GetPixel(x, y, &c);
  return c.GetValue();
}

TEST(ElementPaintTest, BackgroundBorderAndDefaultBrush) {
  auto w = testing::LayOut("<element id='red' style='width:20px;height:20px;background:argb(255,255,0,0);"
                           "border:1px argb(255,0,0,255)'/>"
                           "<element id='plain' style='width:20px;height:20px;'/>",
                           60, 30, "background:rgb(0,255,0)");
  Gdiplus::Bitmap bitmap(60, 30, PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(&bitmap);
  graphics.Clear(Gdiplus::Color(0xFF000000));
  w.window->Paint(&graphics, RectF{0, 0, 60, 30});
  EXPECT_EQ(PixelAt(bitmap, 10, 10), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(bitmap, 0, 10), 0xFF0000FFu);   // border on the left edge
  EXPECT_EQ(PixelAt(bitmap, 50, 25), 0xFF00FF00u);  // the window's own background
  // Without a background the default brush (transparent white) blends to nothing.
  EXPECT_EQ(PixelAt(bitmap, 30, 10), 0xFF00FF00u);
}

TEST(ElementPaintTest, ClipLimitsTheBackground) {
  auto w = testing::LayOut("", 40, 40, "background:rgb(0,0,255)");
  Gdiplus::Bitmap bitmap(40, 40, PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(&bitmap);
  graphics.Clear(Gdiplus::Color(0xFF000000));
  w.window->Paint(&graphics, RectF{0, 0, 10, 10});
  EXPECT_EQ(PixelAt(bitmap, 5, 5), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(bitmap, 20, 20), 0xFF000000u);
}

TEST(NineGridPainterTest, StretchKeepsCornersAndTileRepeatsTheEdge) {
  // A 3 x 3 image: red corners, green edges, blue centre.
  Gdiplus::Bitmap image(3, 3, PixelFormat32bppARGB);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) {
      const bool cx = x != 1, cy = y != 1;
      image.SetPixel(x, y, Gdiplus::Color(cx && cy ? 0xFFFF0000 : (cx || cy ? 0xFF00FF00 : 0xFF0000FF)));
    }
  }
  for (int mode : {win::kNineGridStretch, win::kNineGridTile}) {
    Gdiplus::Bitmap target(12, 12, PixelFormat32bppARGB);
    Gdiplus::Graphics graphics(&target);
    graphics.Clear(Gdiplus::Color(0xFF000000));
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    win::PaintNineGrid(&graphics, &image, std::nullopt, NineGridSlices{1, 1, 1, 1}, RectF{0, 0, 12, 12}, mode);
    EXPECT_EQ(PixelAt(target, 0, 0), 0xFFFF0000u) << mode;
    EXPECT_EQ(PixelAt(target, 11, 11), 0xFFFF0000u) << mode;
    EXPECT_EQ(PixelAt(target, 6, 0), 0xFF00FF00u) << mode;
    EXPECT_EQ(PixelAt(target, 6, 6), 0xFF0000FFu) << mode;
  }
  // Other modes draw nothing.
  Gdiplus::Bitmap target(12, 12, PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(&target);
  graphics.Clear(Gdiplus::Color(0xFF000000));
  win::PaintNineGrid(&graphics, &image, std::nullopt, NineGridSlices{1, 1, 1, 1}, RectF{0, 0, 12, 12}, 2);
  EXPECT_EQ(PixelAt(target, 6, 6), 0xFF000000u);
}

}  // namespace
}  // namespace uilib
