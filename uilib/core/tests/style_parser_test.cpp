#include "uilib/style_parser.h"

#include <gtest/gtest.h>

namespace uilib {
namespace {

StyleValues Parse(std::string_view text) {
  StyleValues v;
  ParseStyleText(text, &v);
  return v;
}

TEST(StyleParserTest, DefaultsMatchAnEmptyStyle) {
  StyleValues v = Parse("");
  EXPECT_EQ(v.width, StyleLength::Pixels(0));
  EXPECT_EQ(v.height, StyleLength::Pixels(0));
  EXPECT_TRUE(v.left.is_auto && v.right.is_auto && v.top.is_auto && v.bottom.is_auto);
  EXPECT_EQ(v.color, 0xFF000000u);
  EXPECT_EQ(v.hovered_color, 0xFF000000u);
  EXPECT_EQ(v.display, Display::kInline);
  EXPECT_EQ(v.position, Position::kStatic);
  EXPECT_EQ(v.overflow, Overflow::kHidden);
  EXPECT_EQ(v.text_align, HorizontalAlign::kNear);
  EXPECT_EQ(v.line_align, HorizontalAlign::kCenter);
  EXPECT_FALSE(v.font || v.hovered_font || v.background_colour || v.background_image);
  EXPECT_FALSE(v.border.has_pen);
}

TEST(StyleParserTest, LengthsArePixelsPercentagesOrAuto) {
  StyleValues v = Parse("width:100%;height:100%;");
  EXPECT_EQ(v.width, StyleLength::Percent(100));
  EXPECT_EQ(v.height, StyleLength::Percent(100));

  v = Parse("width:auto;height:20px;");
  EXPECT_TRUE(v.width.is_auto);
  EXPECT_EQ(v.height, StyleLength::Pixels(20));

  v = Parse("WIDTH:22;left:12.5%;top:7px;right:AUTO;bottom:3");
  EXPECT_EQ(v.width, StyleLength::Pixels(22));
  EXPECT_EQ(v.left, StyleLength::Percent(12.5f));
  EXPECT_EQ(v.top, StyleLength::Pixels(7));
  EXPECT_TRUE(v.right.is_auto);
  EXPECT_EQ(v.bottom, StyleLength::Pixels(3));
}

// The language searches each property name anywhere in the text.
TEST(StyleParserTest, PropertyNamesAreFoundInsideLongerNames) {
  StyleValues v = Parse("padding-top:5px;border-width:2px");
  EXPECT_EQ(v.top, StyleLength::Pixels(5));
  EXPECT_EQ(v.width, StyleLength::Pixels(2));
}

TEST(StyleParserTest, ValuesThatDoNotFitLeaveTheFieldUnchanged) {
  StyleValues v = Parse("height:20px ;color:argb(1, 2, 3, 4);width:12em;");
  EXPECT_EQ(v.height, StyleLength::Pixels(0));
  EXPECT_EQ(v.color, 0xFF000000u);
  EXPECT_EQ(v.width, StyleLength::Pixels(0));
}

TEST(StyleParserTest, ColoursKeepTheLowEightBitsOfEachComponent) {
  EXPECT_EQ(Parse("color:argb(254,91,91,91);").color, 0xFE5B5B5Bu);
  EXPECT_EQ(Parse("color:rgb(1,2,3)").color, 0xFF010203u);
  EXPECT_EQ(Parse("color:rgb(300,0,256)").color, 0xFF2C0000u);
  // Far more digits than any integer holds: still the exact low 8 bits (10^30 mod 256 = 0).
  EXPECT_EQ(Parse("color:argb(1000000000000000000000000000000,1,1,1)").color, 0x00010101u);
  StyleValues v = Parse("color-hovered:argb(254,149,106,8);");
  EXPECT_EQ(v.hovered_color, 0xFE956A08u);
  EXPECT_EQ(v.color, 0xFF000000u);
}

TEST(StyleParserTest, FontGrammar) {
  StyleValues v = Parse("font:underline 12px 微软雅黑 ;font-hovered:bold 14px Arial;");
  ASSERT_TRUE(v.font);
  EXPECT_EQ(v.font->style, unsigned{kFontUnderline});
  EXPECT_EQ(v.font->size_px, 12);
  EXPECT_EQ(v.font->family, "微软雅黑");
  ASSERT_TRUE(v.hovered_font);
  EXPECT_EQ(*v.hovered_font, (FontSpec{"Arial", 14, kFontBold}));

  EXPECT_EQ(ParseFontValue("ITALIC UNDERLINE small-caps bold strike 9px Tahoma, serif"),
            (FontSpec{"Tahoma", 9, kFontItalic | kFontUnderline | kFontBold | kFontStrikeout}));
  EXPECT_EQ(ParseFontValue("oblique 16px 宋体"), (FontSpec{"宋体", 16, kFontRegular}));
}

// Modifiers are recognised only in grammar order: bold before italic takes
// the rest, from italic on, as the family, and no size.
TEST(StyleParserTest, FontModifierOutOfOrderBecomesPartOfTheFamily) {
  EXPECT_EQ(ParseFontValue("bold italic 12px Arial"), (FontSpec{"italic 12px Arial", 0, kFontBold}));
  EXPECT_EQ(ParseFontValue(""), (FontSpec{"", 0, kFontRegular}));
  StyleValues v = Parse("font:;");
  ASSERT_TRUE(v.font);
  EXPECT_EQ(v.font->family, "");
}

TEST(StyleParserTest, MarginAndPaddingForms) {
  StyleValues v = Parse("padding:2px 0px 3px 0px;margin:11px 40px;");
  EXPECT_EQ(v.padding, (BoxEdges{0, 2, 0, 3}));
  EXPECT_EQ(v.margin, (BoxEdges{40, 11, 40, 11}));

  // An item without "px" is not recognised: only the one-item form matches.
  EXPECT_EQ(Parse("margin:0 40px").margin, (BoxEdges{40, 40, 40, 40}));
  // Three items match the two-item form on the first two.
  EXPECT_EQ(Parse("margin:1px 2px 3px").margin, (BoxEdges{2, 1, 2, 1}));
  EXPECT_EQ(Parse("margin:auto 5px").margin, (BoxEdges{5, kAutoEdge, 5, kAutoEdge}));
  EXPECT_EQ(Parse("padding:7px").padding, (BoxEdges{7, 7, 7, 7}));
  // Nothing recognisable: unchanged.
  EXPECT_EQ(Parse("margin:1 2 3 4").margin, (BoxEdges{}));
}

TEST(StyleParserTest, SecondParseMergesIntoTheRecord) {
  StyleValues v;
  ParseStyleText("width:50px;height:20px;color:rgb(1,2,3);", &v);
  StylePropertySet found = ParseStyleText("height:30px;", &v);
  EXPECT_EQ(v.width, StyleLength::Pixels(50));
  EXPECT_EQ(v.height, StyleLength::Pixels(30));
  EXPECT_EQ(v.color, 0xFF010203u);
  EXPECT_EQ(v.style_text, "height:30px;");
  EXPECT_TRUE(found.Has(StyleProperty::kHeight));
  EXPECT_FALSE(found.Has(StyleProperty::kWidth));
}

TEST(StyleParserTest, ParsingTheRecordsOwnTextIsSafe) {
  StyleValues v;
  ParseStyleText("width:5px;height:6px;", &v);
  ParseStyleText(v.style_text, &v);
  EXPECT_EQ(v.width, StyleLength::Pixels(5));
  EXPECT_EQ(v.style_text, "width:5px;height:6px;");
}

TEST(StyleParserTest, BackgroundForms) {
  // The res(...) capture keeps a following ";" (its group closes at the end of the pattern).
  StyleValues v = Parse("background:res(self,PNG_BACK1,PNG);width:1px");
  ASSERT_TRUE(v.background_image);
  EXPECT_EQ(v.background_image->source, BackgroundImageSpec::Source::kResource);
  EXPECT_EQ(v.background_image->reference, "res(self,PNG_BACK1,PNG);");
  EXPECT_FALSE(v.background_colour);

  v = Parse("background:file('C:\\skins\\back.png')");
  ASSERT_TRUE(v.background_image);
  EXPECT_EQ(v.background_image->source, BackgroundImageSpec::Source::kFile);
  EXPECT_EQ(v.background_image->reference, "C:\\skins\\back.png");

  EXPECT_EQ(Parse("background:argb(128,1,2,3)").background_colour, 0x80010203u);
  EXPECT_EQ(Parse("background:RGB(1,2,300)").background_colour, 0xFF01022Cu);

  // A colour after an image keeps the image: each sets its own field.
  ParseStyleText("background:rgb(9,9,9)", &v);
  EXPECT_TRUE(v.background_image);
  EXPECT_EQ(v.background_colour, 0xFF090909u);
}

TEST(StyleParserTest, BorderCreatesAPenThenAppliesWidthAndColour) {
  StyleValues v = Parse("border:solid");
  EXPECT_TRUE(v.border.has_pen);
  EXPECT_EQ(v.border.width, 1.0f);
  EXPECT_EQ(v.border.colour, 0xFF000000u);

  v = Parse("border:2px rgb(10,20,30) argb(1,2,3,4)");
  EXPECT_EQ(v.border.width, 2.0f);
  EXPECT_EQ(v.border.colour, 0x01020304u);  // argb wins over rgb

  ParseStyleText("border:rgb(10,20,30)", &v);  // keeps the width of the existing pen
  EXPECT_EQ(v.border.width, 2.0f);
  EXPECT_EQ(v.border.colour, 0xFF0A141Eu);
}

TEST(StyleParserTest, BackgroundPaintSlicesAndMode) {
  StyleValues v = Parse("background-paint:1px 2px 3px 4px stretch;");
  EXPECT_TRUE(v.background_paint.present);
  EXPECT_EQ(v.background_paint.slices, (std::array<float, 4>{4, 1, 2, 3}));
  EXPECT_EQ(v.background_paint.mode, 1);
  ParseStyleText("background-paint:TILE", &v);
  EXPECT_EQ(v.background_paint.mode, 0);
  EXPECT_EQ(v.background_paint.slices, (std::array<float, 4>{4, 1, 2, 3}));
}

TEST(StyleParserTest, KeywordProperties) {
  StyleValues v = Parse(
      "cursor:HAND;text-align:top-center;float:Bottom;overflow:scroll;display:inline_block;"
      "keepaspect:bottomright;position:absolute;dropshadow:TRUE;text-anti-ailas:0;text-shadow:x");
  EXPECT_EQ(v.cursor, Cursor::kHand);
  EXPECT_EQ(v.text_align, HorizontalAlign::kCenter);
  EXPECT_EQ(v.line_align, HorizontalAlign::kNear);
  EXPECT_TRUE(v.float_bottom);
  EXPECT_EQ(v.overflow, Overflow::kScroll);
  EXPECT_TRUE(v.overflow_scroll);
  EXPECT_EQ(v.display, Display::kInlineBlock);
  EXPECT_EQ(v.keepaspect, KeepAspect::kBottomRight);
  EXPECT_EQ(v.position, Position::kAbsolute);
  EXPECT_TRUE(v.drop_shadow);
  EXPECT_TRUE(v.text_antialias);
  EXPECT_TRUE(v.text_shadow);

  // Unknown keywords change nothing; float and dropshadow are cleared by any other value.
  ParseStyleText(
      "cursor:pointer;text-align:justify;float:left;overflow:visible;display:flex;keepaspect:x;"
      "position:sticky;dropshadow:yes",
      &v);
  EXPECT_EQ(v.cursor, Cursor::kHand);
  EXPECT_EQ(v.text_align, HorizontalAlign::kCenter);
  EXPECT_FALSE(v.float_bottom);
  EXPECT_EQ(v.overflow, Overflow::kScroll);
  EXPECT_EQ(v.display, Display::kInlineBlock);
  EXPECT_EQ(v.keepaspect, KeepAspect::kBottomRight);
  EXPECT_EQ(v.position, Position::kAbsolute);
  EXPECT_FALSE(v.drop_shadow);

  EXPECT_EQ(Parse("text-align:right").text_align, HorizontalAlign::kFar);
  StyleValues top_left = Parse("text-align:TOP-LEFT");
  EXPECT_EQ(top_left.text_align, HorizontalAlign::kNear);
  EXPECT_EQ(top_left.line_align, HorizontalAlign::kNear);
}

}  // namespace
}  // namespace uilib
