// The Win32-free arithmetic of the widget kinds: texture attributes, state
// looks, repaint rectangles, progress geometry, text fitting and the native
// controls' attributes.
#include <gtest/gtest.h>

#include <cmath>

#include "uilib/widgets/ad.h"
#include "uilib/widgets/image_fit.h"
#include "uilib/widgets/native_control_attributes.h"
#include "uilib/widgets/progress_geometry.h"
#include "uilib/widgets/text_fit.h"
#include "uilib/widgets/texture_attributes.h"
#include "uilib/text_util.h"
#include "uilib/widgets/widget_state.h"

namespace uilib {
namespace {

using Colours = std::vector<std::uint32_t>;

TEST(TextureAttributesTest, ColourListsKeepTheKindOfTheFirstItem) {
  EXPECT_EQ(ParseTextureColourList("color:(rgb(255,0,0)rgb(0,255,0),rgb(0,0,255))"),
            (Colours{0xFFFF0000, 0xFF00FF00, 0xFF0000FF}));
  EXPECT_EQ(ParseTextureColourList("color:(argb(128,1,2,3))"), (Colours{0x80010203}));
  // Mixed lists: only the kind the list starts with is read.
  EXPECT_EQ(ParseTextureColourList("color:(rgb(1,2,3)argb(4,5,6,7)rgb(8,9,10))"), (Colours{0xFF010203, 0xFF08090A}));
  EXPECT_EQ(ParseTextureColourList("color:(argb(4,5,6,7)rgb(1,2,3))"), (Colours{0x04050607}));
  // Numbers keep their low 8 bits.
  EXPECT_EQ(ParseTextureColourList("color:(rgb(256,257,511))"), (Colours{0xFF0001FF}));
  // Not a list, or no closing parenthesis at the end.
  EXPECT_TRUE(ParseTextureColourList("res(self,PNG_MIN1,PNG)").empty());
  EXPECT_TRUE(ParseTextureColourList("color:(rgb(1,2,3)").empty());
  EXPECT_TRUE(ParseTextureColourList("color:(hsl(1,2,3))").empty());
}

TEST(TextureAttributesTest, SingleColourAndImageItems) {
  EXPECT_EQ(ParseTextureColour("color:rgb(10,20,30)"), 0xFF0A141Eu);
  EXPECT_EQ(ParseTextureColour("color:ARGB(1,2,3,4)"), 0x01020304u);
  EXPECT_EQ(ParseTextureColour("color:blue"), std::nullopt);
  EXPECT_EQ(FirstTextureItem("res(self,A,PNG);res(self,B,PNG)"), "res(self,A,PNG)");
  EXPECT_EQ(FirstTextureItem("file.png"), "file.png");
  EXPECT_TRUE(IsRemoteTexture("HTTP://host/a.png"));
  EXPECT_FALSE(IsRemoteTexture("https://host/a.png"));
  EXPECT_FALSE(IsRemoteTexture("http:/"));
}

TEST(TextureAttributesTest, SizeAndMargin) {
  EXPECT_EQ(ParseTextureSize("20px 10px")->w, 20.0f);
  EXPECT_EQ(ParseTextureSize("20px\t10px")->h, 10.0f);
  EXPECT_FALSE(ParseTextureSize("20 10").has_value());
  const BackgroundPaint margin = ParseTextureMargin("1px 2px 3px 4px STRETCH");
  EXPECT_TRUE(margin.present);
  EXPECT_EQ(margin.mode, 1);
  // Margins are read top right bottom left and stored left, top, right, bottom.
  EXPECT_EQ(margin.slices, (std::array<float, 4>{4, 1, 2, 3}));
  EXPECT_EQ(ParseTextureMargin("5px TILE").mode, 0);
}

TEST(TextureAttributesTest, GrayMatricesArePaddedWithFullGrey) {
  const ColourMatrix identity = GrayMatrix(0.0f);
  for (int r = 0; r < 5; ++r) {
    for (int c = 0; c < 5; ++c) EXPECT_NEAR(identity[r * 5 + c], r == c ? 1.0f : 0.0f, 1e-6f) << r << c;
  }
  // Full grey: every output channel is the luminance 0.3 R + 0.59 G + 0.11 B.
  const ColourMatrix grey = GrayMatrix(1.0f);
  for (int c = 0; c < 3; ++c) {
    EXPECT_NEAR(grey[0 * 5 + c], 0.3f, 1e-6f);
    EXPECT_NEAR(grey[1 * 5 + c], 0.59f, 1e-6f);
    EXPECT_NEAR(grey[2 * 5 + c], 0.11f, 1e-6f);
  }
  const auto list = ParseTextureGray("0% 0% 0%");
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[2], identity);
  EXPECT_EQ(list[3], grey);
  const auto half = ParseTextureGray("50%");
  EXPECT_NEAR(half[0][0], 0.65f, 1e-6f);
  EXPECT_EQ(half[1], grey);
  EXPECT_EQ(ParseTextureGray("none").size(), 4u);
}

TEST(WidgetStateTest, StateIndexAndFrames) {
  EXPECT_EQ(ComputeStateIndex(false, true, false), kStateNormal);
  EXPECT_EQ(ComputeStateIndex(true, false, false), kStateHovered);
  EXPECT_EQ(ComputeStateIndex(true, true, false), kStatePressed);
  EXPECT_EQ(ComputeStateIndex(true, true, true), kStateDisabled);
  // A 48 px image of three 16 px frames shows the pressed frame when disabled.
  EXPECT_EQ(FallBackToLastFrame(ButtonFrameX(kStateDisabled, 16), 16, 48), 32.0f);
  EXPECT_EQ(FallBackToLastFrame(ButtonFrameX(kStateHovered, 16), 16, 48), 16.0f);
  EXPECT_EQ(FallBackToLastFrame(ButtonFrameX(kStateDisabled, 130), 130, 520), 390.0f);
  // Degenerate frames and images end instead of looping.
  EXPECT_EQ(FallBackToLastFrame(48, 16, 0), 0.0f);
  EXPECT_EQ(FallBackToLastFrame(0, 0, 0), 0.0f);
  EXPECT_EQ(CheckBoxFrameX(kStateHovered, false, 15), 15.0f);
  EXPECT_EQ(CheckBoxFrameX(kStateNormal, true, 15), 60.0f);
  EXPECT_EQ(CheckBoxFrameX(kStateDisabled, true, 15), 105.0f);
}

TEST(WidgetStateTest, EachStateTakesItsColourAndShortListsTheirLast) {
  const Colours four{0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004};
  EXPECT_EQ(ColourForState(four, kStateNormal), 0xFF000001u);
  EXPECT_EQ(ColourForState(four, kStateHovered), 0xFF000002u);
  EXPECT_EQ(ColourForState(four, kStatePressed), 0xFF000003u);
  EXPECT_EQ(ColourForState(four, kStateDisabled), 0xFF000004u);
  const Colours two{0xFF0000AA, 0xFF0000BB};
  EXPECT_EQ(ColourForState(two, kStateNormal), 0xFF0000AAu);
  EXPECT_EQ(ColourForState(two, kStatePressed), 0xFF0000BBu);
  EXPECT_EQ(ColourForState(two, kStateDisabled), 0xFF0000BBu);
}

TEST(WidgetStateTest, RepaintRectangles) {
  const RectF r{10.5f, 20.7f, 30.2f, 5.0f};
  EXPECT_EQ(GrownRepaintRect(r, 0), (RepaintRect{10, 20, 41, 26}));
  EXPECT_EQ(GrownRepaintRect(r, 10), (RepaintRect{10, 10, 41, 16}));
  EXPECT_EQ(ScrolledRepaintRect(r, 10), (RepaintRect{10, 10, 40, 15}));
}

TEST(ProgressGeometryTest, ClampAndPointCount) {
  EXPECT_EQ(ClampProgress(1.5), 1.0);
  EXPECT_EQ(ClampProgress(-0.2), 0.0);
  EXPECT_EQ(ClampProgress(0.25), 0.25);
  EXPECT_EQ(ClampProgress(std::nan("")), 0.0);
  EXPECT_EQ(CirclePointCount(0.25), 900u);
  EXPECT_EQ(CirclePointCount(0.0), 0u);
  EXPECT_EQ(CirclePointCount(-1.0), 0u);
  // Unclamped attribute values give at most the closed ring.
  EXPECT_EQ(CirclePointCount(2.0), kFullCirclePoints);
  EXPECT_EQ(CirclePointCount(1e300), kFullCirclePoints);
  EXPECT_EQ(ProgressBarRect(RectF{4, 5, 520, 3}, 0.5), (RectF{4, 5, 260, 3}));
}

TEST(ProgressGeometryTest, ArcRunsClockwiseFromTwelve) {
  const RectF r{0, 0, 229, 229};  // radii 113.5
  const auto points = CirclePoints(r, 901);
  EXPECT_NEAR(points[0].x, 114.5f, 1e-3f);
  EXPECT_NEAR(points[0].y, 1.0f, 1e-3f);
  // A quarter later: three o'clock.
  EXPECT_NEAR(points[900].x, 228.0f, 1e-2f);
  EXPECT_NEAR(points[900].y, 114.5f, 1e-2f);
  // Clockwise on the screen: x grows first.
  EXPECT_GT(points[10].x, points[0].x);
}

TEST(TextFitTest, EllipsisKeepsFittedMinusOne) {
  EXPECT_EQ(EllipsisText(L"abcdefghijkl", 5), L"abcd...");
  EXPECT_EQ(EllipsisText(L"abcdefghijkl", 12), L"abcdefghijkl");
  EXPECT_EQ(EllipsisText(L"abc", 0), L"...");
  EXPECT_EQ(EllipsisText(L"abc", 1), L"...");
  EXPECT_EQ(EllipsisText(L"", 0), L"");
}

TEST(TextFitTest, LabelScrollRange) {
  // A text shorter than the element leaves no movable range.
  ScrollRange short_text = LabelScrollRange(100.0f, 40.0f);
  EXPECT_EQ(short_text.maximum, 99);
  EXPECT_EQ(short_text.page, 100);
  ScrollRange long_text = LabelScrollRange(100.5f, 250.7f);
  EXPECT_EQ(long_text.maximum, 250);
  EXPECT_EQ(long_text.page, 100);
}

TEST(ImageFitTest, InterpolationNamesInAnyCaseAndBilinearOtherwise) {
  EXPECT_EQ(InterpolationModeFromName("InterpolationModeLowQuality"), 1);
  EXPECT_EQ(InterpolationModeFromName("interpolationmodehighqualitybicubic"), 7);
  EXPECT_EQ(InterpolationModeFromName("INTERPOLATIONMODENEARESTNEIGHBOR"), 5);
  EXPECT_EQ(InterpolationModeFromName("NearestNeighbor"), 3);
  EXPECT_EQ(InterpolationModeFromName(nullptr), 3);
}

TEST(ImageFitTest, KeepAspectCentresAndShrinksOnlyForCenterAndBottomLeft) {
  EXPECT_TRUE(KeepsAspect(KeepAspect::kBottomLeft));
  EXPECT_FALSE(KeepsAspect(KeepAspect::kLeft));
  EXPECT_EQ(FitPicture(RectF{10, 20, 100, 100}, 200, 100, true), (RectF{10, 45, 100, 50}));
  EXPECT_EQ(FitPicture(RectF{0, 0, 100, 100}, 50, 100, true), (RectF{25, 0, 50, 100}));
  EXPECT_EQ(FitPicture(RectF{0.7f, 0.2f, 100.9f, 50.5f}, 200, 100, false), (RectF{0, 0, 100, 50}));
  // Measuring: a wide picture in a square gives its own proportions; a
  // picture without area gives nothing.
  EXPECT_EQ(MeasurePicture(100, 100, 200, 100, true), (SizeF{100, 50}));
  EXPECT_EQ(MeasurePicture(100, 100, 100, 200, true), (SizeF{50, 100}));
  EXPECT_EQ(MeasurePicture(100, 100, 0, 10, true), (SizeF{0, 0}));
  EXPECT_EQ(MeasurePicture(100, 80, 200, 100, false), (SizeF{100, 80}));
}

TEST(AdConfigTest, OnlyWebTargetsAreKept) {
  AdConfig config;
  ASSERT_TRUE(ParseAdConfig("<ads><other/><ad src='http://h/p.png' url='HTTPS://h/landing'/></ads>", &config));
  EXPECT_EQ(config.picture, "http://h/p.png");
  EXPECT_EQ(config.target, "HTTPS://h/landing");
  for (const char* target : {"file:///C:/Windows/System32/calc.exe", "calc.exe", "C:\\x.exe", "javascript:x",
                             " http://h/", "httpx://h"}) {
    SCOPED_TRACE(target);
    ASSERT_TRUE(ParseAdConfig(std::string("<r><ad src='p' url='") + target + "'/></r>", &config));
    EXPECT_EQ(config.target, "");
  }
}

TEST(AdConfigTest, MalformedOversizedOrAdlessDocumentsChangeNothing) {
  AdConfig config;
  EXPECT_FALSE(ParseAdConfig("<r><ad src='p' url='http://h/'></r>", &config));
  EXPECT_FALSE(ParseAdConfig("<r><banner src='p'/></r>", &config));
  EXPECT_FALSE(ParseAdConfig("", &config));
  std::string huge = "<r><ad src='p' url='http://h/'/>" + std::string(kMaxAdConfigBytes, ' ') + "</r>";
  EXPECT_FALSE(ParseAdConfig(huge, &config));
  // Entity definitions are not expanded: an entity bomb stays small and inert.
  std::string bomb = "<?xml version='1.0'?><!DOCTYPE r [<!ENTITY a 'aaaaaaaaaa'>";
  for (int i = 1; i < 10; ++i) {
    bomb += "<!ENTITY a" + std::to_string(i) + " '";
    for (int k = 0; k < 10; ++k) bomb += "&a" + (i > 1 ? std::to_string(i - 1) : std::string()) + ";";
    bomb += "'>";
  }
  bomb += "]><r><ad src='&a9;' url='http://h/'/></r>";
  if (ParseAdConfig(bomb, &config)) {
    EXPECT_LT(config.picture.size(), 100u);
  }
}

TEST(NativeControlAttributesTest, ComboItemsFollowTheItemPatternAndSkipTheRest) {
  // The image runs to the last comma, so a res(...) reference keeps its commas.
  const auto items = ParseComboItems("1:res(self,PNG_A,PNG),first;junk;x1:a,b;2:no comma;:a,b;3:a,;4:b\nc,d;"
                                     "99999999999999999999:a,big");
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].data, 1);
  EXPECT_EQ(items[0].image, "res(self,PNG_A,PNG)");
  EXPECT_EQ(items[0].text, "first");
  EXPECT_EQ(items[1].data, 3);
  EXPECT_EQ(items[1].text, "");
  // A data value too large for an int saturates instead of overflowing.
  EXPECT_EQ(items[2].data, 2147483647);
  EXPECT_TRUE(ParseComboItems("").empty());
  // A long value is read whole, with no fixed-size buffer in the way.
  const std::string text(100000, 't');
  const auto long_items = ParseComboItems("5:img," + text);
  ASSERT_EQ(long_items.size(), 1u);
  EXPECT_EQ(long_items[0].text.size(), text.size());
}

TEST(NativeControlAttributesTest, RichEditStyleNamesAddToTheBaseStyle) {
  EXPECT_EQ(ParseRichEditStyle("ES_MULTILINE|WS_VSCROLL"), 0x54200004u);
  EXPECT_EQ(ParseRichEditStyle("es_readonly|Es_AutoHScroll|ES_SELECTIONBAR|WS_CLIPSIBLINGS"), 0x55000880u);
  // Unknown names, blanks around names and empty parts add nothing.
  EXPECT_EQ(ParseRichEditStyle("WS_BORDER| ES_MULTILINE||"), kRichEditBaseStyle);
}

TEST(WideTextTest, Utf16BecomesUtf8) {
  EXPECT_EQ(WideToUtf8(L"C:\\x\u00e9\u20ac"), "C:\\x\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace uilib
