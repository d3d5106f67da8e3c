// A virtual button whose texture is an http:// address: fetched from a
// loopback server at the first paint that shows the button, drawn once it has
// arrived, requested only once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../../../core/tests/layout_test_support.h"
#include "../../../core/tests/recording_window_services.h"
#include "route_http_server_win.h"
#include "../../../core/tests/win/runtime_test_support.h"
#include "uilib/widgets/image.h"
#include "uilib/widgets/virtual_button.h"
#include "uilib/win/uilib_runtime.h"
#include "widget_paint_support.h"

namespace uilib {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

TEST(RemoteTextureTest, DownloadedAtFirstPaintAndDrawnOnArrival) {
  velko::test_support::RouteHttpServer server;
  ASSERT_TRUE(server.listening());
  const std::string png = ReadFile(std::filesystem::path(VELKO_INSTALLER_IMAGES) / "min1.png");
  ASSERT_FALSE(png.empty());
  server.SetRoute("/min.png", velko::test_support::HttpRoute{200, "image/png", png});
  const std::string url = server.Url("/min.png");
  // No earlier run's cache file may answer for the server.
  const std::wstring cache = win::ActiveRuntime()->downloads->CachePathFor(url);
  DeleteFileW(cache.c_str());

  auto w = testing::LayOut("<element style='width:10px;height:16px;'/>"
                           "<virtualbtn id='b' texture='" + url + "' style='width:16px;height:16px;'/>",
                           100, 50);
  ASSERT_TRUE(w.window);
  testing::RecordingServices services(w.window.get());
  auto* button = dynamic_cast<CUILibVirtualBtn*>(w.ById("b"));
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->IsRemote());
  EXPECT_FALSE(button->IsRequested());

  // A paint that does not show the button asks for nothing.
  {
    Gdiplus::Bitmap bitmap(100, 50, PixelFormat32bppARGB);
    Gdiplus::Graphics graphics(&bitmap);
    button->Paint(&graphics, RectF{50, 0, 10, 10});
  }
  EXPECT_FALSE(button->IsRequested());

  auto first = testing::RenderElement(button, 100, 50);
  EXPECT_TRUE(button->IsRequested());
  EXPECT_EQ(testing::OpaquePixelsIn(*first, button->Rect()), 0);
  ASSERT_TRUE(test::PumpUntil([&] { return button->HasImage(); }, 10000));
  // Repainted (not grown) on arrival.
  ASSERT_FALSE(services.repaints.empty());
  EXPECT_EQ(services.repaints.back(), (RepaintRect{10, 0, 26, 16}));

  auto image = testing::InstallerImage(L"min1.png");
  auto second = testing::RenderElement(button, 100, 50);
  EXPECT_EQ(testing::MatchingFrame(*second, button->Rect(), *image, 16), 0);
  testing::RenderElement(button, 100, 50);
  EXPECT_EQ(server.CountRequests("/min.png"), 1);
  DeleteFileW(cache.c_str());
}

TEST(RemoteTextureTest, ImagePlaceholderFadesIntoTheDownloadedPicture) {
  velko::test_support::RouteHttpServer server;
  ASSERT_TRUE(server.listening());
  server.SetRoute("/logo.png", velko::test_support::HttpRoute{
                                   200, "image/png", ReadFile(std::filesystem::path(VELKO_INSTALLER_IMAGES) / "min1.png")});
  const std::string url = server.Url("/logo.png");
  const std::wstring cache = win::ActiveRuntime()->downloads->CachePathFor(url);
  DeleteFileW(cache.c_str());
  Gdiplus::Bitmap placeholder(8, 8, PixelFormat32bppARGB);
  auto w = testing::LayOut("<image id='i' src='" + url + "' default-src='" + testing::HandleRef(&placeholder) +
                               "' style='width:48px;height:16px;'/>",
                           100, 50);
  auto* image = dynamic_cast<CUILibImage*>(w.ById("i"));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->PictureSize(), (SizeF{8, 8}));
  EXPECT_FALSE(image->IsRequested());
  testing::RenderElement(image, 100, 50);
  EXPECT_TRUE(image->IsRequested());
  ASSERT_TRUE(test::PumpUntil([&] { return image->PictureSize() == SizeF{48, 16}; }, 10000));
  EXPECT_TRUE(image->IsFading());
  EXPECT_EQ(server.CountRequests("/logo.png"), 1);
  DeleteFileW(cache.c_str());
}

// Two elements with one remote source: one request, both show the picture.
TEST(RemoteTextureTest, TwoButtonsWithOneSourceShareOneRequest) {
  velko::test_support::RouteHttpServer server;
  ASSERT_TRUE(server.listening());
  const std::string png = ReadFile(std::filesystem::path(VELKO_INSTALLER_IMAGES) / "min1.png");
  server.SetRoute("/shared.png", velko::test_support::HttpRoute{200, "image/png", png});
  const std::string url = server.Url("/shared.png");
  const std::wstring cache = win::ActiveRuntime()->downloads->CachePathFor(url);
  DeleteFileW(cache.c_str());

  auto w = testing::LayOut("<virtualbtn id='a' texture='" + url + "' style='width:16px;height:16px;'/>"
                           "<virtualbtn id='b' texture='" + url + "' style='width:16px;height:16px;'/>",
                           100, 50);
  ASSERT_TRUE(w.window);
  testing::RecordingServices services(w.window.get());
  auto* a = dynamic_cast<CUILibVirtualBtn*>(w.ById("a"));
  auto* b = dynamic_cast<CUILibVirtualBtn*>(w.ById("b"));
  ASSERT_TRUE(a != nullptr && b != nullptr);
  testing::RenderElement(a, 100, 50);
  testing::RenderElement(b, 100, 50);
  ASSERT_TRUE(test::PumpUntil([&] { return a->HasImage() && b->HasImage(); }, 10000));
  auto image = testing::InstallerImage(L"min1.png");
  for (CUILibVirtualBtn* button : {a, b}) {
    auto shown = testing::RenderElement(button, 100, 50);
    EXPECT_EQ(testing::MatchingFrame(*shown, button->Rect(), *image, 16), 0);
  }
  EXPECT_EQ(server.CountRequests("/shared.png"), 1);
  w.window.reset();  // the buttons let go of the cache file
  DeleteFileW(cache.c_str());
}

}  // namespace
}  // namespace uilib
