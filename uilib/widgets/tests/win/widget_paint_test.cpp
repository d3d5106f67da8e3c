// What the widget kinds paint, checked pixel by pixel: the installer's own
// skin and images (its res(self,...) images are resources of this program),
// and small skins with images made here.
#include <gtest/gtest.h>

#include <cmath>

#include "../../../core/tests/layout_test_support.h"
#include "uilib/button_state.h"
#include "uilib/widgets/label.h"
#include "uilib/widgets/progress.h"
#include "uilib/widgets/virtual_button.h"
#include "uilib/win/font_lookup.h"
#include "widget_paint_support.h"

namespace uilib {
namespace {

using testing::MatchingFrame;
using testing::PixelAt;
using testing::RenderElement;

class InstallerSkinPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLeftButtonDown(false);
    ASSERT_EQ(lib_.LoadSkinFile(VELKO_INSTALLER_SKIN_XML), SkinLoadResult::kOk);
  }
  void TearDown() override { SetLeftButtonDown(false); }
  CUILibElement* LaidOut(const char* window_id, const char* element_id) {
    window_ = lib_.BuildWindowTree(window_id);
    if (!window_) return nullptr;
    window_->Layout(RectF{0, 0, 608, 322}, nullptr, nullptr);
    std::vector<IUILibElement*> found;
    window_->FindElementsById(found, element_id);
    return found.empty() ? nullptr : static_cast<CUILibElement*>(found.front());
  }
  // The frame of `image` (frames `frame_width` wide) that the element shows.
  static int ShownFrame(CUILibElement* element, Gdiplus::Bitmap& image, int frame_width) {
    auto rendered = RenderElement(element, 608, 322);
    return MatchingFrame(*rendered, element->Rect(), image, frame_width);
  }
  // Sets the hover and button flags the way the window does.
  static void Look(CUILibElement* element, bool hovered, bool down) {
    element->SetHovered(hovered);
    SetLeftButtonDown(down);
  }

  CUILibImpl lib_;
  std::unique_ptr<CUILibWindow> window_;
};

TEST_F(InstallerSkinPaintTest, SmallButtonsShowTheirFramesAndFallBackWhenDisabled) {
  for (const char* id : {"min-btn", "close-btn"}) {
    SCOPED_TRACE(id);
    CUILibElement* button = LaidOut("Welcome", id);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(static_cast<CUILibVirtualBtn*>(button)->HasImage());
    auto image = testing::InstallerImage(std::string(id) == "min-btn" ? L"min1.png" : L"close1.png");
    ASSERT_EQ(image->GetWidth(), 48u);
    EXPECT_EQ(ShownFrame(button, *image, 16), 0);
    Look(button, true, false);
    EXPECT_EQ(ShownFrame(button, *image, 16), 1);  // x = 16
    Look(button, true, true);
    EXPECT_EQ(ShownFrame(button, *image, 16), 2);  // x = 32
    Look(button, false, false);
    button->Enable(0);
    // Three frames only: disabled shows the pressed frame.
    EXPECT_EQ(ShownFrame(button, *image, 16), 2);
  }
}

TEST_F(InstallerSkinPaintTest, InstallButtonHasFourFrames) {
  CUILibElement* button = LaidOut("Welcome", "install-btn");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Rect().w, 130.0f);
  auto image = testing::InstallerImage(L"install1.png");
  EXPECT_EQ(ShownFrame(button, *image, 130), 0);
  Look(button, true, false);
  EXPECT_EQ(ShownFrame(button, *image, 130), 1);
  Look(button, true, true);
  EXPECT_EQ(ShownFrame(button, *image, 130), 2);
  Look(button, false, false);
  button->Enable(0);
  EXPECT_EQ(ShownFrame(button, *image, 130), 3);
}

TEST_F(InstallerSkinPaintTest, ConsentBoxCheckedAndUncheckedFrames) {
  CUILibElement* element = LaidOut("Welcome", "verify-checkbox");
  ASSERT_NE(element, nullptr);
  auto* box = static_cast<CUILibVirtualCheckBox*>(element);
  auto image = testing::InstallerImage(L"check1.png");
  ASSERT_EQ(image->GetWidth(), 105u);
  EXPECT_EQ(box->GetCheck(), 1);
  EXPECT_EQ(ShownFrame(box, *image, 15), 4);
  Look(box, true, false);
  EXPECT_EQ(ShownFrame(box, *image, 15), 5);
  Look(box, true, true);
  EXPECT_EQ(ShownFrame(box, *image, 15), 6);
  Look(box, false, false);
  box->SetCheck(0);
  EXPECT_EQ(ShownFrame(box, *image, 15), 0);
  Look(box, true, false);
  EXPECT_EQ(ShownFrame(box, *image, 15), 1);
  Look(box, false, false);
  box->Enable(0);
  EXPECT_EQ(ShownFrame(box, *image, 15), 3);
  // Checked and disabled would be an eighth frame the image lacks: nothing is drawn.
  box->SetCheck(2);
  auto rendered = RenderElement(box, 608, 322);
  EXPECT_EQ(testing::OpaquePixelsIn(*rendered, box->Rect()), 0);
}

TEST_F(InstallerSkinPaintTest, ProgressBarRevealsTheTextureFromTheLeft) {
  CUILibElement* element = LaidOut("Install", "circle-proc");
  ASSERT_NE(element, nullptr);
  auto* bar = dynamic_cast<CUILibVirtualProcessBar*>(element);
  ASSERT_NE(bar, nullptr);
  ASSERT_TRUE(bar->HasImage());
  const RectF r = bar->Rect();
  EXPECT_EQ(r.w, 520.0f);
  EXPECT_EQ(r.h, 3.0f);
  auto image = testing::InstallerImage(L"loading.png");
  auto at_zero = RenderElement(bar, 608, 322);
  EXPECT_EQ(testing::OpaquePixelsIn(*at_zero, r), 0);
  for (double p : {0.25, 0.5, 1.0}) {
    SCOPED_TRACE(p);
    bar->SetProgress(p);
    auto rendered = RenderElement(bar, 608, 322);
    const float shown = static_cast<float>(520 * p);
    EXPECT_LE(testing::FrameDifference(*rendered, RectF{r.x, r.y, shown, 3}, *image, 0), shown * 3 * 2);
    EXPECT_EQ(testing::OpaquePixelsOutside(*rendered, RectF{r.x, r.y, shown, 3}), 0);
  }
}

TEST_F(InstallerSkinPaintTest, WelcomeWindowPaintsEveryElement) {
  CUILibElement* button = LaidOut("Welcome", "install-btn");
  ASSERT_NE(button, nullptr);
  const int bx = static_cast<int>(button->Rect().x), by = static_cast<int>(button->Rect().y);
  auto rendered = RenderElement(window_.get(), 608, 322);
  auto back = testing::InstallerImage(L"back1.png");
  // The install button's normal frame covers the background at its place.
  auto install = testing::InstallerImage(L"install1.png");
  Gdiplus::Color button_pixel;
  install->GetPixel(65, 16, &button_pixel);
  if ((button_pixel.GetValue() >> 24) == 0xFF) {
    EXPECT_EQ(PixelAt(*rendered, bx + 65, by + 16), button_pixel.GetValue());
  }
  // The caption label draws text over the background.
  CUILibElement* caption = nullptr;
  for (CUILibElement* e : testing::ChildrenOf(testing::ChildrenOf(window_.get())[0])) {
    for (CUILibElement* c : testing::ChildrenOf(e)) {
      if (dynamic_cast<CUILibLabel*>(c) != nullptr) caption = c;
    }
    if (caption != nullptr) break;
  }
  ASSERT_NE(caption, nullptr);
  const RectF cr = caption->Rect();
  int changed = 0;
  for (int y = static_cast<int>(cr.y); y < static_cast<int>(cr.y + cr.h); ++y) {
    for (int x = static_cast<int>(cr.x); x < static_cast<int>(cr.x + cr.w); ++x) {
      changed += PixelAt(*rendered, x, y) != PixelAt(*back, x, y) ? 1 : 0;
    }
  }
  EXPECT_GT(changed, 20);
}

// Small skins with images made by the test.
class SmallSkinPaintTest : public ::testing::Test {
 protected:
  void SetUp() override { SetLeftButtonDown(false); }
  void TearDown() override { SetLeftButtonDown(false); }
  CUILibElement* Build(const std::string& body, float width = 200, float height = 100) {
    w_ = testing::LayOut(body, width, height);
    return w_.window ? w_.ById("x") : nullptr;
  }
  static void FillRect(Gdiplus::Bitmap& image, int x, int y, int w, int h, Gdiplus::ARGB colour) {
    Gdiplus::Graphics g(&image);
    Gdiplus::SolidBrush brush{Gdiplus::Color(colour)};
    g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    g.FillRectangle(&brush, x, y, w, h);
  }

  testing::LaidOutWindow w_;
};

TEST_F(SmallSkinPaintTest, TextureSizeFrameTilesAcrossTheButton) {
  // Two 20 x 10 frames, each half red and half green (normal) or blue and
  // yellow (hovered).
  Gdiplus::Bitmap image(40, 10, PixelFormat32bppARGB);
  FillRect(image, 0, 0, 10, 10, 0xFFFF0000);
  FillRect(image, 10, 0, 10, 10, 0xFF00FF00);
  FillRect(image, 20, 0, 10, 10, 0xFF0000FF);
  FillRect(image, 30, 0, 10, 10, 0xFFFFFF00);
  CUILibElement* button = Build("<virtualbtn id='x' texture='" + testing::HandleRef(&image) +
                                "' texture-size='20px 10px' style='width:40px;height:10px;'/>");
  ASSERT_NE(button, nullptr);
  auto normal = RenderElement(button, 40, 10);
  EXPECT_EQ(PixelAt(*normal, 5, 5), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(*normal, 15, 5), 0xFF00FF00u);
  EXPECT_EQ(PixelAt(*normal, 25, 5), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(*normal, 35, 5), 0xFF00FF00u);
  button->SetHovered(true);
  auto hovered = RenderElement(button, 40, 10);
  EXPECT_EQ(PixelAt(*hovered, 5, 5), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(*hovered, 35, 5), 0xFFFFFF00u);
}

TEST_F(SmallSkinPaintTest, TextureGrayLeavesNormalAndGreysDisabled) {
  Gdiplus::Bitmap image(20, 10, PixelFormat32bppARGB);
  FillRect(image, 0, 0, 20, 10, 0xFFFF0000);
  CUILibElement* button = Build("<virtualbtn id='x' texture='" + testing::HandleRef(&image) +
                                "' texture-gray='0% 0% 0%' style='width:20px;height:10px;'/>");
  ASSERT_NE(button, nullptr);
  auto normal = RenderElement(button, 20, 10);
  EXPECT_EQ(PixelAt(*normal, 10, 5), 0xFFFF0000u);
  button->SetHovered(true);
  SetLeftButtonDown(true);
  EXPECT_EQ(PixelAt(*RenderElement(button, 20, 10), 10, 5), 0xFFFF0000u);
  button->Enable(0);
  const Gdiplus::ARGB grey = PixelAt(*RenderElement(button, 20, 10), 10, 5);
  // Luminance of pure red: 0.3 x 255.
  for (int shift : {16, 8, 0}) EXPECT_NEAR(static_cast<int>((grey >> shift) & 0xFF), 76, 1) << shift;
  EXPECT_EQ(grey >> 24, 0xFFu);
}

TEST_F(SmallSkinPaintTest, ColourListShorterThanTheStateUsesItsLastColour) {
  CUILibElement* button =
      Build("<virtualbtn id='x' texture='color:(rgb(0,0,255))' style='width:20px;height:10px;'/>");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(PixelAt(*RenderElement(button, 20, 10), 5, 5), 0xFF0000FFu);
  button->SetHovered(true);
  EXPECT_EQ(PixelAt(*RenderElement(button, 20, 10), 5, 5), 0xFF0000FFu);
  button->Enable(0);
  EXPECT_EQ(PixelAt(*RenderElement(button, 20, 10), 5, 5), 0xFF0000FFu);
}

TEST_F(SmallSkinPaintTest, CircleAtAQuarterCoversTwelveToThreeOnly) {
  Gdiplus::Bitmap image(100, 100, PixelFormat32bppARGB);
  FillRect(image, 0, 0, 100, 100, 0xFF00FF00);
  CUILibElement* element = Build("<virtualcircleprocess id='x' progress='0.25' texture='" +
                                 testing::HandleRef(&image) + "' style='width:100px;height:100px;'/>");
  ASSERT_NE(element, nullptr);
  auto* circle = static_cast<CUILibVirtualCircleProcess*>(element);
  // Points on the ring (radius 49 around (50, 50)) at 45, 135, 225, 315 degrees.
  auto on_ring = [](double degrees) {
    const double a = degrees * 3.14159265358979 / 180.0;
    return std::pair<int, int>{static_cast<int>(50 + std::sin(a) * 49), static_cast<int>(50 - std::cos(a) * 49)};
  };
  auto quarter = RenderElement(circle, 100, 100);
  auto [x45, y45] = on_ring(45);
  auto [x135, y135] = on_ring(135);
  auto [x225, y225] = on_ring(225);
  auto [x315, y315] = on_ring(315);
  EXPECT_EQ(PixelAt(*quarter, x45, y45), 0xFF00FF00u);
  EXPECT_EQ(PixelAt(*quarter, x135, y135) >> 24, 0u);
  EXPECT_EQ(PixelAt(*quarter, x225, y225) >> 24, 0u);
  EXPECT_EQ(PixelAt(*quarter, x315, y315) >> 24, 0u);
  // Nothing left of the centre line (the quarter runs from twelve to three).
  EXPECT_EQ(testing::OpaquePixelsIn(*quarter, RectF{0, 0, 43, 100}), 0);
  EXPECT_EQ(testing::OpaquePixelsIn(*quarter, RectF{0, 57, 100, 43}), 0);
  circle->SetProgress(1.0);
  auto ring = RenderElement(circle, 100, 100);
  for (auto [x, y] : {on_ring(45), on_ring(135), on_ring(225), on_ring(315)}) {
    EXPECT_EQ(PixelAt(*ring, x, y), 0xFF00FF00u) << x << "," << y;
  }
  EXPECT_EQ(PixelAt(*ring, 50, 50) >> 24, 0u);  // a ring, not a disc
}

TEST_F(SmallSkinPaintTest, CircleWithAColourDrawsABar) {
  CUILibElement* element = Build(
      "<virtualcircleprocess id='x' progress='0.5' texture='color:rgb(255,0,0)' style='width:100px;height:100px;'/>");
  ASSERT_NE(element, nullptr);
  auto rendered = RenderElement(element, 100, 100);
  EXPECT_EQ(PixelAt(*rendered, 10, 90), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(*rendered, 49, 0), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(*rendered, 51, 50) >> 24, 0u);
}

TEST_F(SmallSkinPaintTest, ProgressAttributeAboveOneIsTakenAsWritten) {
  CUILibElement* bar = Build(
      "<virtualprocessbar id='x' progress='2' texture='color:rgb(0,0,255)' style='width:50px;height:10px;'/>");
  ASSERT_NE(bar, nullptr);
  Gdiplus::Bitmap bitmap(200, 10, PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(&bitmap);
  graphics.Clear(Gdiplus::Color(0x00000000));
  // Only the dirty rectangle limits the bar, which is twice the element's width.
  bar->Paint(&graphics, RectF{0, 0, 200, 10});
  EXPECT_EQ(PixelAt(bitmap, 90, 5), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(bitmap, 110, 5) >> 24, 0u);
}

TEST_F(SmallSkinPaintTest, LabelTextIsDrawnInsideItsRectangle) {
  for (const char* mode : {"", "text-anti-ailas:true;", "text-shadow:true;"}) {
    SCOPED_TRACE(mode);
    CUILibElement* label = Build(std::string("<element style='width:20px;height:10px;'/>") +
                                 "<label id='x' value='Velko' style='width:60px;height:20px;"
                                 "font:16px WenQuanYi Micro Hei;color:argb(255,0,0,0);" + mode + "'/>");
    ASSERT_NE(label, nullptr);
    const RectF r = label->Rect();
    auto rendered = RenderElement(label, 120, 40);
    EXPECT_GT(testing::OpaquePixelsIn(*rendered, r), 10);
    EXPECT_EQ(testing::OpaquePixelsOutside(*rendered, r), 0);
  }
}

TEST_F(SmallSkinPaintTest, ScrolledLabelIsClippedToItsRectangle) {
  for (const char* mode : {"", "text-anti-ailas:true;"}) {
    SCOPED_TRACE(mode);
    CUILibElement* label = Build(std::string("<element style='width:100%;height:30px;'/>") +
                                 "<label id='x' vscroll='none' value='Velko' style='width:100px;height:20px;"
                                 "font:16px WenQuanYi Micro Hei;color:argb(255,0,0,0);" + mode + "'/>");
    ASSERT_NE(label, nullptr);
    const RectF r = label->Rect();
    // Scrolled by 14: the text's layout box rises above the element.
    label->SetScrollOffset(14);
    auto rendered = RenderElement(label, 120, 60);
    EXPECT_EQ(testing::OpaquePixelsOutside(*rendered, r), 0);
    EXPECT_GT(testing::OpaquePixelsIn(*rendered, r), 0);
  }
}

TEST_F(SmallSkinPaintTest, AntiAliasedPathWinsOverShadow) {
  // Scrolled, so that the clipped path (moved up) and the shadow path (not
  // moved) differ.
  auto render = [this](const char* mode) {
    CUILibElement* label = Build(std::string("<label id='x' vscroll='none' value='Velko' style='width:100px;"
                                             "height:20px;font:16px WenQuanYi Micro Hei;color:argb(255,0,0,0);") +
                                 mode + "'/>");
    label->SetScrollOffset(8);
    return RenderElement(label, 100, 20);
  };
  auto both = render("text-anti-ailas:true;text-shadow:true;");
  auto path = render("text-anti-ailas:true;");
  auto shadow = render("text-shadow:true;");
  EXPECT_EQ(testing::FrameDifference(*both, RectF{0, 0, 100, 20}, *path, 0), 0);
  EXPECT_NE(testing::FrameDifference(*both, RectF{0, 0, 100, 20}, *shadow, 0), 0);
}

TEST_F(SmallSkinPaintTest, EmptyOrZeroSizedLabelDrawsNothing) {
  CUILibElement* empty = Build("<label id='x' style='width:60px;height:20px;font:16px WenQuanYi Micro Hei;'/>");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(testing::OpaquePixelsIn(*RenderElement(empty, 60, 20), RectF{0, 0, 60, 20}), 0);
  CUILibElement* flat =
      Build("<label id='x' value='Velko' style='width:60px;height:0px;font:16px WenQuanYi Micro Hei;'/>");
  ASSERT_NE(flat, nullptr);
  EXPECT_EQ(testing::OpaquePixelsIn(*RenderElement(flat, 60, 20), RectF{0, 0, 60, 20}), 0);
}

// The widest whole-pixel width at which the anchor's format fits exactly
// `wanted` characters of `text`, or 0.
int WidthFitting(const std::wstring& text, int wanted, Gdiplus::Font* font, Gdiplus::StringFormat* format) {
  Gdiplus::Bitmap scratch(1, 1, PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(&scratch);
  for (int width = 1; width < 400; ++width) {
    Gdiplus::RectF box;
    INT fitted = 0, lines = 0;
    graphics.MeasureString(text.c_str(), static_cast<INT>(text.size()), font,
                           Gdiplus::RectF(0, 0, static_cast<float>(width), 20), format, &box, &fitted, &lines);
    if (fitted == wanted) return width;
  }
  return 0;
}

TEST_F(SmallSkinPaintTest, AnchorShortensTextThatDoesNotFit) {
  const std::wstring text = L"abcdefghijkl";
  Gdiplus::Font font(L"WenQuanYi Micro Hei", 16, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  Gdiplus::StringFormat format;
  format.SetFormatFlags(Gdiplus::StringFormatFlagsLineLimit);
  format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  const int width = WidthFitting(text, 5, &font, &format);
  ASSERT_GT(width, 0);
  CUILibElement* anchor = Build("<anchor id='x' value='abcdefghijkl' style='width:" + std::to_string(width) +
                                "px;height:20px;font:16px WenQuanYi Micro Hei;color:argb(255,0,0,0);'/>");
  ASSERT_NE(anchor, nullptr);
  auto rendered = RenderElement(anchor, 400, 20);
  // The same drawing of "abcd..." by hand.
  Gdiplus::Bitmap expected(400, 20, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&expected);
    g.Clear(Gdiplus::Color(0x00000000));
    Gdiplus::SolidBrush black{Gdiplus::Color(0xFF000000)};
    g.DrawString(L"abcd...", 7, &font, Gdiplus::RectF(0, 0, static_cast<float>(width), 20), &format, &black);
  }
  EXPECT_GT(testing::OpaquePixelsIn(*rendered, RectF{0, 0, 400, 20}), 0);
  EXPECT_EQ(testing::FrameDifference(*rendered, RectF{0, 0, 400, 20}, expected, 0), 0);

  // Wide enough for everything: the whole text.
  CUILibElement* wide = Build("<anchor id='x' value='abcdefghijkl' style='width:390px;height:20px;"
                              "font:16px WenQuanYi Micro Hei;color:argb(255,0,0,0);'/>");
  ASSERT_NE(wide, nullptr);
  auto whole = RenderElement(wide, 400, 20);
  Gdiplus::Bitmap expected_whole(400, 20, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&expected_whole);
    g.Clear(Gdiplus::Color(0x00000000));
    Gdiplus::SolidBrush black{Gdiplus::Color(0xFF000000)};
    g.DrawString(text.c_str(), 12, &font, Gdiplus::RectF(0, 0, 390, 20), &format, &black);
  }
  EXPECT_EQ(testing::FrameDifference(*whole, RectF{0, 0, 400, 20}, expected_whole, 0), 0);
}

TEST_F(SmallSkinPaintTest, HoveredAnchorWithoutHoveredFontUsesTheDefaultFont) {
  CUILibElement* anchor = Build("<anchor id='x' value='licence' style='width:150px;height:30px;"
                                "font:24px WenQuanYi Micro Hei;color:argb(255,0,0,0);"
                                "color-hovered:argb(255,0,0,255);'/>");
  ASSERT_NE(anchor, nullptr);
  auto normal = RenderElement(anchor, 150, 30);
  anchor->SetHovered(true);
  auto hovered = RenderElement(anchor, 150, 30);
  Gdiplus::Bitmap expected(150, 30, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&expected);
    g.Clear(Gdiplus::Color(0x00000000));
    Gdiplus::StringFormat format;
    format.SetFormatFlags(Gdiplus::StringFormatFlagsLineLimit);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    Gdiplus::SolidBrush blue{Gdiplus::Color(0xFF0000FF)};
    g.DrawString(L"licence", 7, win::DefaultFont(), Gdiplus::RectF(0, 0, 150, 30), &format, &blue);
  }
  EXPECT_GT(testing::OpaquePixelsIn(expected, RectF{0, 0, 150, 30}), 0);
  EXPECT_EQ(testing::FrameDifference(*hovered, RectF{0, 0, 150, 30}, expected, 0), 0);
  EXPECT_NE(testing::FrameDifference(*normal, RectF{0, 0, 150, 30}, expected, 0), 0);
}

}  // namespace
}  // namespace uilib
