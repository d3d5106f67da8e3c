// What the image element paints, pixel by pixel: fitting, interpolation, the
// shadow edge, GIF frames stepped by the animation timer's step, fades and
// slides at exact moments of the library clock, and pictures that do not load.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../../../core/tests/layout_test_support.h"
#include "uilib/error.h"
#include "uilib/widgets/image.h"
#include "uilib/text_util.h"
#include "picture_test_support.h"
#include "widget_paint_support.h"

namespace uilib {
namespace {

using testing::OpaquePixelsIn;
using testing::OpaquePixelsOutside;
using testing::PixelAt;
using testing::RenderElement;

constexpr Gdiplus::ARGB kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00;
constexpr Gdiplus::ARGB kCyan = 0xFF00FFFF, kMagenta = 0xFFFF00FF, kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;

std::string ImageSkin(const std::string& src, const std::string& style, const std::string& extra = "") {
  return "<image id='i' src='" + src + "' style='" + style + "' " + extra + "/>";
}

CUILibImage* ImageOf(const testing::LaidOutWindow& w) { return dynamic_cast<CUILibImage*>(w.ById("i")); }

TEST(ImagePaintTest, KeepAspectCenterFitsAndOtherValuesStretch) {
  auto picture = testing::SolidPicture(200, 100, kRed);
  const std::string src = testing::HandleRef(picture.get());
  auto centred = testing::LayOut(ImageSkin(src, "width:100px;height:100px;keepaspect:center;"), 100, 100);
  auto shown = RenderElement(ImageOf(centred), 100, 100);
  EXPECT_EQ(OpaquePixelsIn(*shown, RectF{0, 25, 100, 50}), 100 * 50);
  EXPECT_EQ(OpaquePixelsOutside(*shown, RectF{0, 25, 100, 50}), 0);

  auto left = testing::LayOut(ImageSkin(src, "width:100px;height:100px;keepaspect:left;"), 100, 100);
  EXPECT_EQ(OpaquePixelsIn(*RenderElement(ImageOf(left), 100, 100), RectF{0, 0, 100, 100}), 100 * 100);

  // `auto` sizes follow the picture's proportions.
  SizeF size;
  ASSERT_TRUE(ImageOf(centred)->MeasureContent(nullptr, &size, SizeF{100, 100}));
  EXPECT_EQ(size, (SizeF{100, 50}));
}

TEST(ImagePaintTest, DropShadowOnlyWithAPicture) {
  auto picture = testing::SolidPicture(10, 10, kBlue);
  auto with = testing::LayOut(ImageSkin(testing::HandleRef(picture.get()), "width:50px;height:50px;dropshadow:true;"),
                              60, 60);
  auto shown = RenderElement(ImageOf(with), 60, 60);
  EXPECT_EQ(PixelAt(*shown, 25, 50), 0xFF909090u);
  EXPECT_EQ(PixelAt(*shown, 50, 25), 0xFF909090u);

  auto without = testing::LayOut(ImageSkin("no-such-file.png", "width:50px;height:50px;dropshadow:true;"), 60, 60);
  EXPECT_FALSE(ImageOf(without)->HasImage());
  EXPECT_EQ(OpaquePixelsIn(*RenderElement(ImageOf(without), 60, 60), RectF{0, 0, 60, 60}), 0);
}

TEST(ImagePaintTest, NearestNeighbourKeepsHardEdgesThatBilinearBlurs) {
  auto picture = testing::QuadrantPicture(2, 2, kBlack, kWhite, kBlack, kWhite);
  const std::string src = testing::HandleRef(picture.get());
  // Mixed colours only: Wine's nearest-neighbour sampling leaves the last half
  // source pixel transparent, which is a hard edge too.
  auto count_grey = [](Gdiplus::Bitmap& shown) {
    int grey = 0;
    for (int x = 0; x < 100; ++x) {
      const Gdiplus::ARGB p = PixelAt(shown, x, 5);
      if (p != kBlack && p != kWhite && p != 0) ++grey;
    }
    return grey;
  };
  auto nearest = testing::LayOut(
      ImageSkin(src, "width:100px;height:10px;", "InterpolationMode='interpolationmodeNEARESTneighbor'"), 100, 10);
  EXPECT_EQ(ImageOf(nearest)->InterpolationMode(), 5);
  EXPECT_EQ(count_grey(*RenderElement(ImageOf(nearest), 100, 10)), 0);
  auto bilinear = testing::LayOut(ImageSkin(src, "width:100px;height:10px;", "InterpolationMode='bogus'"), 100, 10);
  EXPECT_EQ(ImageOf(bilinear)->InterpolationMode(), 3);
  EXPECT_GT(count_grey(*RenderElement(ImageOf(bilinear), 100, 10)), 0);
}

TEST(ImagePaintTest, GifFramesAdvanceOnEachAnimationStepAndWrap) {
  const std::string gif = WideToUtf8(testing::TestDataFile(L"two_frames.gif"));
  auto w = testing::LayOut(ImageSkin(gif, "width:10px;height:10px;"), 10, 10);
  CUILibImage* image = ImageOf(w);
  ASSERT_TRUE(image->HasImage());
  EXPECT_EQ(PixelAt(*RenderElement(image, 10, 10), 5, 5), kRed);
  EXPECT_EQ(image->FrameCount(), 2);
  EXPECT_TRUE(ImageAnimationList().Contains(image));
  TickPictureAnimations(ImageAnimationList());
  EXPECT_EQ(PixelAt(*RenderElement(image, 10, 10), 5, 5), kBlue);
  TickPictureAnimations(ImageAnimationList());
  EXPECT_EQ(PixelAt(*RenderElement(image, 10, 10), 5, 5), kRed);

  // A still picture never joins the list.
  auto still = testing::SolidPicture(10, 10, kRed);
  auto other = testing::LayOut(ImageSkin(testing::HandleRef(still.get()), "width:10px;height:10px;"), 10, 10);
  RenderElement(ImageOf(other), 10, 10);
  EXPECT_FALSE(ImageAnimationList().Contains(ImageOf(other)));

  // A destroyed image leaves every list; the timer's step does not reach it.
  image->SetSource(testing::SavedPng(*testing::SolidPicture(10, 10, kBlue), L"fade_target.png").c_str(), 200, 0);
  EXPECT_TRUE(ImageFadeList().Contains(image));
  w.window.reset();
  EXPECT_FALSE(ImageAnimationList().Contains(image));
  EXPECT_FALSE(ImageFadeList().Contains(image));
  TickPictureAnimations(ImageAnimationList());
  ImageFadeList().RepaintUnion();
}

TEST(ImagePaintTest, FadeIsTheHalfWayBlendAtHalfTimeAndEnds) {
  testing::FakeClock clock(1000);
  auto w = testing::LayOut(ImageSkin("", "width:20px;height:20px;"), 20, 20);
  CUILibImage* image = ImageOf(w);
  image->SetImage(testing::SolidPicture(20, 20, kRed).release(), 0, 0);
  const std::wstring blue = testing::SavedPng(*testing::SolidPicture(20, 20, kBlue), L"fade_blue.png");
  image->SetSource(blue.c_str(), 200, 0);
  ASSERT_TRUE(image->IsFading());
  clock.Set(1100);
  // Old at alpha 0.5, then new at alpha 0.5 over it, on a transparent bitmap.
  const Gdiplus::ARGB half = PixelAt(*RenderElement(image, 20, 20), 10, 10);
  EXPECT_NEAR(static_cast<int>(half >> 24), 191, 3);
  EXPECT_NEAR(static_cast<int>((half >> 16) & 0xFF), 85, 3);
  EXPECT_NEAR(static_cast<int>(half & 0xFF), 170, 3);
  clock.Set(1200);
  EXPECT_EQ(PixelAt(*RenderElement(image, 20, 20), 10, 10), kBlue);
  EXPECT_FALSE(image->IsFading());
  EXPECT_FALSE(ImageFadeList().Contains(image));

  // An unloadable source keeps the picture and starts no fade.
  image->SetSource(L"no-such-file.png", 200, 0);
  EXPECT_FALSE(image->IsFading());
  EXPECT_EQ(PixelAt(*RenderElement(image, 20, 20), 10, 10), kBlue);
}

// Handles this thread's messages (the timers' wake-ups and ticks) until
// `done` holds or `limit_ms` have passed.
template <typename Done>
void PumpMessagesUntil(Done done, ULONGLONG limit_ms = 1000) {
  const ULONGLONG deadline = GetTickCount64() + limit_ms;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  } while (!done() && GetTickCount64() < deadline && (Sleep(1), true));
}

TEST(ImagePaintTest, TransitionTimersRunOnlyWhileAFadeRuns) {
  std::uint64_t now = 1000;
  testing::FakeClock clock(now);
  auto w = testing::LayOut(ImageSkin("", "width:20px;height:20px;"), 20, 20);
  CUILibImage* image = ImageOf(w);
  image->SetImage(testing::SolidPicture(20, 20, kRed).release(), 0, 0);
  PumpMessagesUntil([] { return false; }, 50);
  EXPECT_FALSE(ImageTransitionTimersRunning());

  const std::wstring blue = testing::SavedPng(*testing::SolidPicture(20, 20, kBlue), L"timer_blue.png");
  const std::wstring red = testing::SavedPng(*testing::SolidPicture(20, 20, kRed), L"timer_red.png");
  for (const std::wstring* next : {&blue, &red}) {  // the second fade must start them again
    image->SetSource(next->c_str(), 200, 0);
    PumpMessagesUntil([] { return ImageTransitionTimersRunning(); });
    EXPECT_TRUE(ImageTransitionTimersRunning());
    now += 200;
    clock.Set(now);
    RenderElement(image, 20, 20);  // the paint that ends the fade
    ASSERT_FALSE(image->IsFading());
    PumpMessagesUntil([] { return !ImageTransitionTimersRunning(); });
    EXPECT_FALSE(ImageTransitionTimersRunning());
  }
}

TEST(ImagePaintTest, SlidesShowHalfOfEachPictureHalfWayInAllFourDirections) {
  const std::wstring incoming =
      testing::SavedPng(*testing::QuadrantPicture(100, 100, kCyan, kMagenta, kBlack, kWhite), L"slide_new.png");
  struct Case {
    int direction;
    Gdiplus::ARGB tl, tr, bl, br;  // what the element's quadrants show at s = 0.5
  };
  // Old picture: red, green / blue, yellow. New: cyan, magenta / black, white.
  const Case cases[] = {
      {0, kGreen, kCyan, kYellow, kBlack},    // new enters from the right
      {1, kMagenta, kRed, kWhite, kBlue},     // from the left
      {2, kBlack, kWhite, kRed, kGreen},      // from the top
      {3, kBlue, kYellow, kCyan, kMagenta}};  // from the bottom
  for (const Case& c : cases) {
    SCOPED_TRACE(c.direction);
    testing::FakeClock clock(5000);
    auto w = testing::LayOut(ImageSkin("", "width:100px;height:100px;"), 100, 100);
    CUILibImage* image = ImageOf(w);
    image->SetImage(testing::QuadrantPicture(100, 100, kRed, kGreen, kBlue, kYellow).release(), 0, 0);
    image->SlideTo(incoming.c_str(), c.direction, 500);
    ASSERT_TRUE(image->IsSliding());
    clock.Set(5250);
    auto half = RenderElement(image, 100, 100);
    EXPECT_EQ(PixelAt(*half, 25, 25), c.tl);
    EXPECT_EQ(PixelAt(*half, 75, 25), c.tr);
    EXPECT_EQ(PixelAt(*half, 25, 75), c.bl);
    EXPECT_EQ(PixelAt(*half, 75, 75), c.br);
    // A second slide while one runs changes nothing.
    image->SlideTo(testing::TestDataFile(L"two_frames.gif").c_str(), 0, 10);
    EXPECT_EQ(PixelAt(*RenderElement(image, 100, 100), 25, 25), c.tl);
    clock.Set(5500);
    EXPECT_EQ(PixelAt(*RenderElement(image, 100, 100), 25, 25), kCyan);
    EXPECT_FALSE(image->IsSliding());
    EXPECT_FALSE(ImageSlideList().Contains(image));
  }
}

TEST(ImagePaintTest, SlideWithoutAPictureFailsThroughTheErrorPath) {
  auto w = testing::LayOut(ImageSkin("", "width:10px;height:10px;"), 10, 10);
  EXPECT_THROW(ImageOf(w)->SlideTo(testing::TestDataFile(L"two_frames.gif").c_str(), 0, 100), CAtlException);
  EXPECT_FALSE(ImageOf(w)->IsSliding());
}

TEST(ImagePaintTest, PicturesThatDoNotLoadLeaveTheElementEmptyButItsChildrenPaint) {
  // Beyond the size limits: 9000 pixels wide, and a file over 20 MB (sparse).
  const std::wstring oversized = testing::SavedPng(*testing::SolidPicture(2, 2, kRed), L"oversized.png");
  {
    std::fstream grow(std::filesystem::path(oversized), std::ios::binary | std::ios::in | std::ios::out);
    grow.seekp(21 << 20);
    grow.put('\0');
  }
  for (const std::wstring& file : {testing::TestDataFile(L"truncated.gif"), testing::TestDataFile(L"empty.png"),
                                   testing::TestDataFile(L"not_a_picture.png"), testing::TestDataFile(L"too_wide.png"),
                                   oversized}) {
    const std::string path = WideToUtf8(file);
    SCOPED_TRACE(path);
    auto w = testing::LayOut("<image id='i' src='" + path + "' style='width:20px;height:20px;'>"
                             "<element style='width:4px;height:4px;background:rgb(0,255,0);'/></image>",
                             20, 20);
    CUILibImage* image = ImageOf(w);
    auto shown = RenderElement(image, 20, 20);
    EXPECT_EQ(OpaquePixelsOutside(*shown, RectF{0, 0, 4, 4}), 0);
    EXPECT_EQ(PixelAt(*shown, 1, 1), kGreen);
  }
  std::filesystem::remove(std::filesystem::path(oversized));
}

class RedProvider : public ImageProvider {
 public:
  void ProvideImage(const char* id, int width, int height, Gdiplus::Image** out) override {
    asked_id = id;
    asked = SizeF{static_cast<float>(width), static_cast<float>(height)};
    *out = picture.get();
  }
  std::unique_ptr<Gdiplus::Bitmap> picture = testing::SolidPicture(8, 8, kRed);
  std::string asked_id;
  SizeF asked;
};

TEST(ImagePaintTest, ProviderSuppliesThePictureOnEveryPaint) {
  RedProvider provider;
  CUILibImpl lib;
  ASSERT_TRUE(lib.RegisterHandler("pictures", &provider));
  ASSERT_EQ(lib.LoadSkinFromMemory("<uilib><window id='w'><image id='i' img_provider='UILIB::pictures' "
                                   "style='width:30px;height:20px;'/></window></uilib>"),
            SkinLoadResult::kOk);
  auto window = lib.BuildWindowTree("w");
  window->Layout(RectF{0, 0, 30, 20}, nullptr, nullptr);
  std::vector<IUILibElement*> found;
  window->FindElementsById(found, "i");
  auto* image = static_cast<CUILibImage*>(found.front());
  EXPECT_EQ(PixelAt(*RenderElement(image, 30, 20), 15, 10), kRed);
  EXPECT_EQ(provider.asked_id, "i");
  EXPECT_EQ(provider.asked, (SizeF{30, 20}));
}

}  // namespace
}  // namespace uilib
