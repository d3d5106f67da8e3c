#include "uilib/win/resource_image.h"

#include <gtest/gtest.h>

#include "uilib/uilib_impl.h"

namespace uilib {
namespace {

TEST(ResourceImageTest, StringAndIntegerReferences) {
  auto png = win::LoadImageRef("res(self,TEST_PNG,PNG)");
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->GetWidth(), 2u);
  auto rcdata = win::LoadImageRef("res(SELF,int(101),RT_RCDATA)");
  ASSERT_NE(rcdata, nullptr);
  EXPECT_EQ(rcdata->GetHeight(), 3u);
}

TEST(ResourceImageTest, UnresolvableReferencesGiveNoImage) {
  EXPECT_EQ(win::LoadImageRef("res(self,MISSING,PNG)"), nullptr);
  EXPECT_EQ(win::LoadImageRef("res(self,NOT_AN_IMAGE,PNG)"), nullptr);
  EXPECT_EQ(win::LoadImageRef("res(no-such-module.dll,TEST_PNG,PNG)"), nullptr);
  EXPECT_EQ(win::LoadImageRef("pixel.png"), nullptr);
}

TEST(SkinResourceTest, SkinLoadsFromTheModuleResource) {
  CUILibImpl lib;
  EXPECT_TRUE(lib.LoadSkinFromResource(GetModuleHandleW(nullptr), L"UILIB", L"UILIB"));
  EXPECT_NE(lib.CreateWindowById("Welcome", nullptr, nullptr, nullptr), nullptr);
  // A resource that is not a skin leaves no document.
  EXPECT_FALSE(lib.LoadSkinFromResource(GetModuleHandleW(nullptr), L"TEST_PNG", L"PNG"));
  EXPECT_FALSE(lib.Document().Loaded());
  EXPECT_FALSE(lib.LoadSkinFromResource(GetModuleHandleW(nullptr), L"MISSING", L"UILIB"));
}

}  // namespace
}  // namespace uilib
