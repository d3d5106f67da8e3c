// Window attributes of the skin: style names, placement in the work area,
// `rect`, switches and refused geometry.
#include <gtest/gtest.h>

#include <tinyxml.h>

#include "uilib/window_attributes.h"

namespace uilib {
namespace {

WindowAttributes AttributesOf(const std::string& window_tag) {
  TiXmlDocument document;
  document.Parse(window_tag.c_str());
  EXPECT_NE(document.RootElement(), nullptr) << window_tag;
  return ReadWindowAttributes(*document.RootElement());
}

constexpr WorkArea kWorkArea{0, 0, 1920, 1040};

TEST(WindowStyleNamesTest, NamesOrTheirSdkValuesCaseInsensitively) {
  EXPECT_EQ(WindowStyleFromNames("WS_POPUP|WS_VISIBLE"), 0x90000000u);
  EXPECT_EQ(WindowStyleFromNames("ws_popup|Ws_Visible"), 0x90000000u);
  EXPECT_EQ(WindowStyleFromNames("WS_OVERLAPPEDWINDOW"), 0x00CF0000u);
  EXPECT_EQ(WindowStyleFromNames("WS_CAPTION|WS_BORDER"), 0x00C00000u);
  EXPECT_EQ(ExWindowStyleFromNames("WS_EX_LAYERED|WS_EX_TOOLWINDOW|WS_EX_TOPMOST"), 0x00080088u);
  // A window-style name means nothing in the extended list and the other way round.
  EXPECT_EQ(ExWindowStyleFromNames("WS_POPUP"), 0u);
  EXPECT_EQ(WindowStyleFromNames("WS_EX_LAYERED"), 0u);
}

TEST(WindowStyleNamesTest, UnknownNamesAndBlankedNamesAddNothing) {
  EXPECT_EQ(WindowStyleFromNames("WS_POPUP|WS_NOSUCH"), 0x80000000u);
  EXPECT_EQ(WindowStyleFromNames("WS_POPUP | WS_VISIBLE"), 0u);
  EXPECT_EQ(WindowStyleFromNames(""), 0u);
  EXPECT_EQ(WindowStyleFromNames("||WS_CHILD|"), 0x40000000u);
}

TEST(WindowAttributesTest, InstallerWelcomeWindowIsCentredInTheWorkArea) {
  const WindowAttributes a = AttributesOf(
      R"(<window id="Welcome" windowstyle="WS_POPUP|WS_VISIBLE" exwindowstyle="WS_EX_LAYERED" width="608"
          height="322" title="x" align="CENTER|VCENTER"/>)");
  ASSERT_TRUE(a.geometry_valid);
  EXPECT_EQ(a.EffectiveStyle(), 0x90000000u);
  EXPECT_TRUE(a.Layered());
  EXPECT_EQ(ComputeWindowRect(a, kWorkArea, nullptr), (WindowRect{656, 359, 1264, 681}));
}

TEST(WindowAttributesTest, PlacementRulesAndTheirPrecedence) {
  const auto place = [](const std::string& extra, const WorkArea& work = kWorkArea) {
    return ComputeWindowRect(AttributesOf("<window width='100' height='50' " + extra + "/>"), work, nullptr);
  };
  EXPECT_EQ(place(""), (WindowRect{0, 0, 100, 50}));
  EXPECT_EQ(place("align='RIGHT|BOTTOM'"), (WindowRect{1820, 990, 1920, 1040}));
  EXPECT_EQ(place("left='10' top='20'"), (WindowRect{10, 20, 110, 70}));
  EXPECT_EQ(place("right='10' bottom='20'"), (WindowRect{1810, 970, 1910, 1020}));
  // CENTER wins over RIGHT and `left`; RIGHT over `left`.
  EXPECT_EQ(place("align='RIGHT|CENTER' left='5'"), (WindowRect{910, 0, 1010, 50}));
  EXPECT_EQ(place("align='right' left='5'"), (WindowRect{1820, 0, 1920, 50}));
  // Only the work area's extent counts: its origin is not added.
  EXPECT_EQ(place("align='CENTER|VCENTER'", WorkArea{100, 40, 1020, 540}), (WindowRect{410, 225, 510, 275}));
}

TEST(WindowAttributesTest, RectAttributeOrDefaultRectOverridesThePlacement) {
  const WindowAttributes a = AttributesOf("<window width='100' height='50' align='CENTER' rect='10 20 300 400'/>");
  EXPECT_EQ(ComputeWindowRect(a, kWorkArea, nullptr), (WindowRect{10, 20, 300, 400}));
  const WindowRect fallback{1, 2, 3, 4};
  EXPECT_EQ(ComputeWindowRect(a, kWorkArea, &fallback), (WindowRect{10, 20, 300, 400}));
  const WindowAttributes b = AttributesOf("<window width='100' height='50' align='CENTER'/>");
  EXPECT_EQ(ComputeWindowRect(b, kWorkArea, &fallback), fallback);
}

TEST(WindowAttributesTest, RectNeedsFourNumbersWithSingleBlanks) {
  EXPECT_EQ(ParseRectAttribute("10 20 300 400"), (WindowRect{10, 20, 300, 400}));
  EXPECT_EQ(ParseRectAttribute("10 20 300"), std::nullopt);
  EXPECT_EQ(ParseRectAttribute("10,20,300,400"), std::nullopt);
  EXPECT_EQ(ParseRectAttribute("10  20 300 400"), std::nullopt);
  EXPECT_EQ(ParseRectAttribute(""), std::nullopt);
  // The numbers must also start the text, where they are read.
  EXPECT_EQ(ParseRectAttribute("at 10 20 300 400"), std::nullopt);
  EXPECT_EQ(ParseBorderOffset("7 9"), (BorderOffset{7, 9}));
  EXPECT_EQ(ParseBorderOffset("7"), std::nullopt);
}

TEST(WindowAttributesTest, NumbersBeyondAnIntOrMisSignedLeaveRectAndOffsetUnset) {
  EXPECT_EQ(ParseRectAttribute("10 20 2147483648 400"), std::nullopt);
  EXPECT_EQ(ParseRectAttribute("99999999999999999999 20 300 400"), std::nullopt);
  EXPECT_EQ(ParseBorderOffset("7 4294967303"), std::nullopt);
  // A leading sign is read as "%d" reads it.
  EXPECT_EQ(ParseRectAttribute("+10 20 300 400"), (WindowRect{10, 20, 300, 400}));
  EXPECT_EQ(ParseRectAttribute("-10 20 300 400"), (WindowRect{-10, 20, 300, 400}));
  EXPECT_EQ(ParseRectAttribute("+-10 20 300 400"), std::nullopt);
  EXPECT_EQ(AttributesOf("<window rect='1 2 3 99999999999'/>").rect, std::nullopt);
}

TEST(WindowAttributesTest, ExtremeGeometryIsClampedInsteadOfOverflowing) {
  constexpr int kLimit = 2147483647 / 2;
  // Offsets and sizes at the ends of the int range.
  const WindowRect far = ComputeWindowRect(
      AttributesOf("<window width='2147483647' height='2147483647' left='5' bottom='-2147483648'/>"), kWorkArea,
      nullptr);
  EXPECT_EQ(far, (WindowRect{5, 1041, kLimit, kLimit}));
  const WindowRect negative =
      ComputeWindowRect(AttributesOf("<window width='-2147483648' height='10' align='RIGHT'/>"), kWorkArea, nullptr);
  EXPECT_EQ(negative, (WindowRect{kLimit, 0, 1920, 10}));
  const WindowRect wide =
      ComputeWindowRect(AttributesOf("<window rect='-2147483648 0 2147483647 5'/>"), kWorkArea, nullptr);
  EXPECT_EQ(wide, (WindowRect{-kLimit, 0, kLimit, 5}));
  EXPECT_EQ(wide.Width(), 2 * kLimit);
  const WindowRect fallback{-2147483647 - 1, 0, 2147483647, 1};
  EXPECT_EQ(ComputeWindowRect(AttributesOf("<window/>"), kWorkArea, &fallback).Width(), 2 * kLimit);
}

TEST(WindowAttributesTest, NonIntegerGeometryIsRefused) {
  EXPECT_FALSE(AttributesOf("<window width='wide' height='50'/>").geometry_valid);
  EXPECT_FALSE(AttributesOf("<window width='100' TOP='x'/>").geometry_valid);
  EXPECT_TRUE(AttributesOf("<window width='100' height='50' left='-20'/>").geometry_valid);
  // The minimum sizes are not geometry: a bad one is only ignored.
  const WindowAttributes a = AttributesOf("<window minwidth='x' minheight='200'/>");
  EXPECT_TRUE(a.geometry_valid);
  EXPECT_EQ(a.min_width, -1);
  EXPECT_EQ(a.min_height, 200);
}

TEST(WindowAttributesTest, SwitchesKeepTheirDefaultsForOtherValues) {
  const WindowAttributes defaults = AttributesOf("<window/>");
  EXPECT_EQ(defaults.EffectiveStyle(), kDefaultWindowStyle);
  EXPECT_TRUE(defaults.use_render_thread);
  EXPECT_TRUE(defaults.buffered_paint);
  EXPECT_FALSE(defaults.drop_shadow);

  const WindowAttributes a = AttributesOf(
      "<window Use-Render-Thread='FALSE' buffered-paint='maybe' shadow='true' shape='Alpha' "
      "blurbackground='true' transparent='alpha' border='res(self,B,PNG)' border-offset='4 5' windowstyle=''/>");
  EXPECT_FALSE(a.use_render_thread);
  EXPECT_TRUE(a.buffered_paint);
  EXPECT_TRUE(a.drop_shadow);
  EXPECT_TRUE(a.alpha_shape);
  EXPECT_TRUE(a.blur_behind);
  EXPECT_TRUE(a.transparent_alpha);
  EXPECT_TRUE(a.Layered());
  EXPECT_EQ(a.border, "res(self,B,PNG)");
  EXPECT_EQ(a.border_offset, (BorderOffset{4, 5}));
  // A present but empty style list is no style at all, not the default.
  EXPECT_EQ(a.EffectiveStyle(), 0u);
  // Any `transparent` value makes the window layered.
  EXPECT_TRUE(AttributesOf("<window transparent='yes'/>").Layered());
  EXPECT_FALSE(AttributesOf("<window transparent='yes'/>").transparent_alpha);
}

}  // namespace
}  // namespace uilib
