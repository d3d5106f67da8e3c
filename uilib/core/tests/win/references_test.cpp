// Image, icon and region references, resolved against this test program's
// own resources ("self" is the module given to UILibStartup).
#include <gtest/gtest.h>

#include <string>

#include "uilib/win/icon_ref.h"
#include "uilib/win/image_region.h"
#include "uilib/win/resource_image.h"

namespace uilib {
namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

TEST(ImageRefTest, ResourcesByNameAndByIntegerIdWithTypeNames) {
  win::ImageRef named = win::ResolveImageRef("res(self,TEST_PNG,PNG)");
  ASSERT_TRUE(named);
  EXPECT_NE(named.owned, nullptr);
  EXPECT_EQ(named.image->GetWidth(), 2u);
  // As a background value captures it, with its trailing ";".
  win::ImageRef by_id = win::ResolveImageRef("res(self,int(101),rt_rcdata);");
  ASSERT_TRUE(by_id);
  EXPECT_EQ(by_id.image->GetHeight(), 3u);
  EXPECT_FALSE(win::ResolveImageRef("res(self,int(101),RT_BITMAP)"));
}

TEST(ImageRefTest, HandleReferencesReturnTheClientsImageUnowned) {
  Gdiplus::Bitmap client(4, 4, PixelFormat32bppARGB);
  char text[64];
  std::snprintf(text, sizeof(text), "HANDLE::%p", static_cast<void*>(&client));
  win::ImageRef ref = win::ResolveImageRef(text);
  EXPECT_EQ(ref.image, &client);
  EXPECT_EQ(ref.owned, nullptr);  // never freed by the library
  EXPECT_FALSE(win::ResolveImageRef("handle::"));
  EXPECT_FALSE(win::ResolveImageRef("handle::xyz"));
  EXPECT_FALSE(win::ResolveImageRef("file('a.png')"));
}

TEST(IconRefTest, ResourceIconsByNameAndId) {
  EXPECT_NE(win::LoadIconRef("res(self,APP_ICON,RT_GROUP_ICON)"), nullptr);
  EXPECT_NE(win::LoadIconRef("res(self,int(7),ignored)"), nullptr);
  EXPECT_EQ(win::LoadIconRef("res(self,NO_ICON,RT_GROUP_ICON)"), nullptr);
  EXPECT_EQ(win::LoadIconRef("res(missing-module.dll,APP_ICON,x)"), nullptr);
}

bool Inside(HRGN region, int x, int y) { return PtInRegion(region, x, y) != FALSE; }

TEST(RegionFromImageTest, FirstRunOfEachRowAboveTheAlphaThreshold) {
  win::ImageRef shape = win::ResolveImageRef("res(self,ALPHA_SHAPE,PNG)");
  ASSERT_TRUE(shape);
  CaptureStdout();
  HRGN region = win::RegionFromImage(shape.image);
  std::string output = GetCapturedStdout();
  ASSERT_NE(region, nullptr);
  // Row 0 is transparent.
  for (int x = 0; x < 8; ++x) EXPECT_FALSE(Inside(region, x, 0)) << x;
  // Row 1: pixels 1-3 form the first run; the later run 5-6 is not added.
  EXPECT_FALSE(Inside(region, 0, 1));
  EXPECT_TRUE(Inside(region, 1, 1));
  EXPECT_TRUE(Inside(region, 3, 1));
  EXPECT_FALSE(Inside(region, 4, 1));
  EXPECT_FALSE(Inside(region, 5, 1));
  // Row 2: alpha 29 is below the threshold, 30 is enough.
  EXPECT_FALSE(Inside(region, 0, 2));
  EXPECT_TRUE(Inside(region, 1, 2));
  EXPECT_TRUE(Inside(region, 2, 2));
  EXPECT_FALSE(Inside(region, 3, 2));
  // Row 3 is opaque throughout.
  EXPECT_TRUE(Inside(region, 0, 3));
  EXPECT_TRUE(Inside(region, 7, 3));
  EXPECT_FALSE(Inside(region, 8, 3));
  DeleteObject(region);
  EXPECT_EQ(output.rfind("UILibTool[161]:UILibTool::GetRGNFromImage Use ", 0), 0u) << output;
  EXPECT_EQ(output.back(), '\n');
}

TEST(RegionFromImageTest, BitmapsWithAndWithoutAlpha) {
  Gdiplus::Bitmap opaque(4, 4, PixelFormat24bppRGB);
  EXPECT_EQ(win::RegionFromImage(&opaque), nullptr);
  EXPECT_EQ(win::RegionFromImage(nullptr), nullptr);
  Gdiplus::Bitmap clear(4, 2, PixelFormat32bppARGB);  // all pixels transparent
  clear.SetPixel(2, 1, Gdiplus::Color(255, 0, 0, 0));
  CaptureStdout();
  HRGN region = win::RegionFromImage(&clear);
  GetCapturedStdout();
  ASSERT_NE(region, nullptr);
  RECT box{};
  GetRgnBox(region, &box);
  EXPECT_EQ(box.left, 2);
  EXPECT_EQ(box.top, 1);
  EXPECT_EQ(box.right, 3);
  EXPECT_EQ(box.bottom, 2);
  DeleteObject(region);
}

}  // namespace
}  // namespace uilib
