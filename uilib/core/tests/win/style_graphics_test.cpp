#include "uilib/win/style_graphics.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "uilib/win/font_lookup.h"

namespace uilib {
namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

Gdiplus::ARGB BrushColour(Gdiplus::Brush* brush) {
  Gdiplus::Color colour;
  static_cast<Gdiplus::SolidBrush*>(brush)->GetColor(&colour);
  return colour.GetValue();
}

// Any installed family, spelled in other capitals, is found without fallback.
TEST(StyleFontTest, InstalledFamilyIsFoundIgnoringCase) {
  Gdiplus::InstalledFontCollection installed;
  ASSERT_GT(installed.GetFamilyCount(), 0);
  Gdiplus::FontFamily first;
  INT found = 0;
  installed.GetFamilies(1, &first, &found);
  WCHAR name[LF_FACESIZE] = {};
  first.GetFamilyName(name);
  std::wstring upper(name);
  CharUpperW(upper.data());
  EXPECT_NE(win::FindInstalledFamily(upper), nullptr);

  char utf8[4 * LF_FACESIZE] = {};
  WideCharToMultiByte(CP_UTF8, 0, upper.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
  CaptureStdout();
  win::StyleFont font = win::CreateStyleFont(FontSpec{utf8, 14, kFontBold | kFontItalic});
  EXPECT_EQ(GetCapturedStdout(), "");
  EXPECT_FALSE(font.fallback);
  EXPECT_EQ(font.font->GetSize(), 14.0f);
  EXPECT_EQ(font.font->GetStyle(), Gdiplus::FontStyleBold | Gdiplus::FontStyleItalic);
  EXPECT_EQ(font.font->GetUnit(), Gdiplus::UnitPixel);
}

TEST(StyleFontTest, MissingFamilyFallsBackWithAMessage) {
  CUILibStyle style(nullptr);
  CaptureStdout();
  style.Parse("font:underline 13px NoSuchFamily;");
  EXPECT_EQ(GetCapturedStdout(), "字体[NoSuchFamily]不存在，使用仿宋体\n");
  const StyleGraphics* g = style.Graphics();
  ASSERT_NE(g->font, nullptr);
  EXPECT_TRUE(g->font_fallback);
  EXPECT_EQ(g->font->GetSize(), 13.0f);
  EXPECT_EQ(g->font->GetStyle(), Gdiplus::FontStyleUnderline);
}

// Bold before italic: the family is "italic 12px Arial", which no installed
// family is named, and the size is 0. GDI+ refuses a zero size; the font object
// is stored anyway with that status.
TEST(StyleFontTest, ModifiersOutOfOrderGiveTheFallbackAtSizeZero) {
  CUILibStyle style(nullptr);
  CaptureStdout();
  style.Parse("font:bold italic 12px Arial;");
  EXPECT_EQ(GetCapturedStdout(), "字体[italic 12px Arial]不存在，使用仿宋体\n");
  EXPECT_TRUE(style.Graphics()->font_fallback);
  EXPECT_NE(style.Graphics()->font, nullptr);
}

TEST(StyleFontTest, DefaultFontIsSharedTwelvePixelRegular) {
  Gdiplus::Font* font = win::DefaultFont();
  ASSERT_EQ(font, win::DefaultFont());
  EXPECT_EQ(font->GetSize(), 12.0f);
  EXPECT_EQ(font->GetStyle(), Gdiplus::FontStyleRegular);
  EXPECT_EQ(font->GetUnit(), Gdiplus::UnitPixel);
}

TEST(StyleGraphicsTest, DefaultsAndTextFormat) {
  CUILibStyle style(nullptr);
  const StyleGraphics* g = style.Graphics();
  EXPECT_EQ(g->background_brush, nullptr);
  EXPECT_EQ(g->background_image, nullptr);
  EXPECT_EQ(g->font, nullptr);
  EXPECT_EQ(g->border_pen, nullptr);
  EXPECT_EQ(g->cursor, nullptr);
  EXPECT_EQ(g->text_format->GetFormatFlags(), 0x2000);
  EXPECT_EQ(g->text_format->GetAlignment(), Gdiplus::StringAlignmentNear);
  EXPECT_EQ(g->text_format->GetLineAlignment(), Gdiplus::StringAlignmentCenter);

  style.Parse("text-align:top-center;cursor:hand");
  EXPECT_EQ(g->text_format->GetAlignment(), Gdiplus::StringAlignmentCenter);
  EXPECT_EQ(g->text_format->GetLineAlignment(), Gdiplus::StringAlignmentNear);
  EXPECT_EQ(g->cursor, LoadCursorW(nullptr, IDC_HAND));
  EXPECT_EQ(g->CursorFor(true), nullptr);
}

TEST(StyleGraphicsTest, BackgroundColoursFilesAndResources) {
  CUILibStyle style(nullptr);
  const StyleGraphics* g = style.Graphics();
  style.Parse("background:argb(300,1,2,3)");
  ASSERT_NE(g->background_brush, nullptr);
  EXPECT_EQ(BrushColour(g->background_brush.get()), 0x2C010203u);

  // A missing file gives an opaque white brush and no image.
  style.Parse("background:file('C:\\no\\such\\file.png')");
  EXPECT_EQ(BrushColour(g->background_brush.get()), 0xFFFFFFFFu);
  EXPECT_EQ(g->background_image, nullptr);

  style.Parse("background:res(self,TEST_PNG,PNG);");
  ASSERT_NE(g->background_image, nullptr);
  EXPECT_EQ(g->background_image->GetWidth(), 2u);
  EXPECT_EQ(g->background_image->GetHeight(), 3u);

  // An existing file is loaded as the image.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring path = std::wstring(temp) + L"uilib_style_background.png";
  {
    HRSRC res = FindResourceW(nullptr, L"TEST_PNG", L"PNG");
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(static_cast<const char*>(LockResource(LoadResource(nullptr, res))), SizeofResource(nullptr, res));
  }
  char ansi[MAX_PATH * 2];
  WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
  style.Parse((std::string("background:file('") + ansi + "')").c_str());
  ASSERT_NE(g->background_image, nullptr);
  EXPECT_EQ(g->background_image->GetWidth(), 2u);
  DeleteFileW(path.c_str());
}

TEST(StyleGraphicsTest, BorderPenKeepsItsWidthWhenOnlyTheColourChanges) {
  CUILibStyle style(nullptr);
  style.Parse("border:3px rgb(1,2,3)");
  Gdiplus::Pen* pen = style.Graphics()->border_pen.get();
  ASSERT_NE(pen, nullptr);
  EXPECT_EQ(pen->GetWidth(), 3.0f);
  style.Parse("border:argb(4,5,6,7)");
  Gdiplus::Color colour;
  style.Graphics()->border_pen->GetColor(&colour);
  EXPECT_EQ(colour.GetValue(), 0x04050607u);
  EXPECT_EQ(style.Graphics()->border_pen->GetWidth(), 3.0f);
}

}  // namespace
}  // namespace uilib
