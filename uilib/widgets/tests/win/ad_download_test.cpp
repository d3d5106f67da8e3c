// The ad element against a loopback HTTP server: its configuration fetched at
// construction, the picture it names downloaded and shown, the hand cursor
// once the picture is there, and clicks that open only web addresses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../../../core/tests/layout_test_support.h"
#include "../../../core/tests/win/runtime_test_support.h"
#include "route_http_server_win.h"
#include "uilib/shell_open.h"
#include "uilib/widgets/ad.h"
#include "uilib/win/uilib_runtime.h"
#include "widget_paint_support.h"

namespace uilib {
namespace {

using velko::test_support::HttpRoute;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

class AdDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.listening());
    png_ = ReadFile(std::filesystem::path(VELKO_INSTALLER_IMAGES) / "min1.png");
    ASSERT_FALSE(png_.empty());
    server_.SetRoute("/pic.png", HttpRoute{200, "image/png", png_});
    SetShellOpenerForTesting([this](const std::string& target) { opened_.push_back(target); });
  }
  void TearDown() override {
    SetShellOpenerForTesting(nullptr);
    for (const std::string& url : cached_) DeleteFileW(win::ActiveRuntime()->downloads->CachePathFor(url).c_str());
  }
  // A configuration document served at `path`.
  void ServeConfig(const std::string& path, const std::string& picture, const std::string& target) {
    server_.SetRoute(path, HttpRoute{200, "text/xml",
                                     "<ads><ad src='" + server_.Url(picture) + "' url='" + target + "'/></ads>"});
    Uncached(server_.Url(picture));
  }
  // No earlier run's cache file may answer for the server.
  void Uncached(const std::string& url) {
    DeleteFileW(win::ActiveRuntime()->downloads->CachePathFor(url).c_str());
    cached_.push_back(url);
  }
  CUILibAd* Ad(const std::string& config_path) {
    w_ = testing::LayOut("<ad id='a' ad_conf='" + server_.Url(config_path) + "' style='width:48px;height:16px;'/>",
                         100, 50);
    return w_.window ? dynamic_cast<CUILibAd*>(w_.ById("a")) : nullptr;
  }
  // The configuration was requested (so its record exists) and consumed.
  bool ConfigConsumed(CUILibAd* ad, const std::string& path) {
    return server_.CountRequests(path) > 0 && ad->TextDownloadCount() == 0;
  }

  velko::test_support::RouteHttpServer server_;
  std::string png_;
  std::vector<std::string> opened_;
  std::vector<std::string> cached_;
  testing::LaidOutWindow w_;
};

TEST_F(AdDownloadTest, ShowsThePictureTakesTheHandCursorAndOpensTheWebTarget) {
  ServeConfig("/ad.xml", "/pic.png", "http://example.invalid/landing");
  CUILibAd* ad = Ad("/ad.xml");
  ASSERT_NE(ad, nullptr);
  EXPECT_EQ(ad->CursorKind(), Cursor::kNone);
  ASSERT_TRUE(test::PumpUntil([&] { return ad->PictureArrived(); }, 10000));
  EXPECT_EQ(ad->CursorKind(), Cursor::kHand);
  EXPECT_EQ(ad->Target(), "http://example.invalid/landing");
  EXPECT_EQ(ad->PictureSize(), (SizeF{48, 16}));
  auto image = testing::InstallerImage(L"min1.png");
  EXPECT_EQ(testing::FrameDifference(*testing::RenderElement(ad, 100, 50), ad->Rect(), *image, 0), 0);
  EXPECT_EQ(ad->OnClick(PointF{5, 5}), 1);
  EXPECT_EQ(opened_, (std::vector<std::string>{"http://example.invalid/landing"}));
  EXPECT_EQ(server_.CountRequests("/ad.xml"), 1);
}

TEST_F(AdDownloadTest, FileAndProgramTargetsOpenNothing) {
  for (const char* target : {"file:///C:/windows/system32/calc.exe", "calc.exe"}) {
    SCOPED_TRACE(target);
    ServeConfig("/bad.xml", "/pic.png", target);
    CUILibAd* ad = Ad("/bad.xml");
    ASSERT_NE(ad, nullptr);
    ASSERT_TRUE(test::PumpUntil([&] { return ad->PictureArrived(); }, 10000));
    EXPECT_EQ(ad->Target(), "");
    EXPECT_EQ(ad->FireEvent("onclick"), 0);
  }
  EXPECT_TRUE(opened_.empty());
}

TEST_F(AdDownloadTest, APictureThatNeverArrivesStillLeavesAClickableTarget) {
  ServeConfig("/nopic.xml", "/missing.png", "https://example.invalid/");
  CUILibAd* ad = Ad("/nopic.xml");
  ASSERT_NE(ad, nullptr);
  ASSERT_TRUE(test::PumpUntil([&] { return ConfigConsumed(ad, "/nopic.xml"); }, 10000));
  EXPECT_FALSE(ad->HasImage());
  EXPECT_EQ(ad->CursorKind(), Cursor::kNone);
  EXPECT_EQ(ad->FireEvent("onclick"), 1);
  EXPECT_EQ(opened_, (std::vector<std::string>{"https://example.invalid/"}));
}

TEST_F(AdDownloadTest, OversizedAndMalformedConfigurationsAreIgnored) {
  const std::string ad_line = "<ad src='" + server_.Url("/pic.png") + "' url='http://example.invalid/'/>";
  server_.SetRoute("/huge.xml", HttpRoute{200, "text/xml", "<ads>" + ad_line + std::string(2 << 20, ' ') + "</ads>"});
  server_.SetRoute("/broken.xml", HttpRoute{200, "text/xml", "<ads>" + ad_line});
  for (const char* path : {"/huge.xml", "/broken.xml"}) {
    SCOPED_TRACE(path);
    CUILibAd* ad = Ad(path);
    ASSERT_NE(ad, nullptr);
    ASSERT_TRUE(test::PumpUntil([&] { return ConfigConsumed(ad, path); }, 10000));
    EXPECT_EQ(ad->Target(), "");
    EXPECT_EQ(ad->FileDownloadCount(), 0u);
    EXPECT_EQ(ad->FireEvent("onclick"), 0);
  }
}

// The shell itself, with the prefix's http handler pointed at a recorder for
// the test (the previous command is put back afterwards): the click reaches
// the shell with the target.
class HttpHandlerRecorder {
 public:
  HttpHandlerRecorder() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    record_ = std::wstring(folder) + L"ad_opened.txt";
    DeleteFileW(record_.c_str());
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    wchar_t previous[1024] = {};
    DWORD size = sizeof previous - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key_, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(previous), &size) == ERROR_SUCCESS) {
      previous_ = previous;
      had_previous_ = true;
    }
    Set(L"cmd.exe /c echo %1> \"" + record_ + L"\"");
  }
  ~HttpHandlerRecorder() {
    if (key_ == nullptr) return;
    if (had_previous_) {
      Set(previous_);
    } else {
      RegDeleteValueW(key_, nullptr);
    }
    RegCloseKey(key_);
    DeleteFileW(record_.c_str());
  }
  bool Installed() const { return key_ != nullptr; }
  std::string Recorded() const { return ReadFile(std::filesystem::path(record_)); }

 private:
  void Set(const std::wstring& command) {
    RegSetValueExW(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  }

  HKEY key_ = nullptr;
  std::wstring record_;
  std::wstring previous_;
  bool had_previous_ = false;
};

TEST_F(AdDownloadTest, ClickHandsTheWebTargetToTheShell) {
  HttpHandlerRecorder recorder;
  ASSERT_TRUE(recorder.Installed());
  SetShellOpenerForTesting(nullptr);
  ServeConfig("/shell.xml", "/pic.png", "http://example.invalid/from-shell");
  CUILibAd* ad = Ad("/shell.xml");
  ASSERT_NE(ad, nullptr);
  ASSERT_TRUE(test::PumpUntil([&] { return ad->PictureArrived(); }, 10000));
  EXPECT_EQ(ad->FireEvent("onclick"), 1);
  ASSERT_TRUE(test::PumpUntil([&] { return !recorder.Recorded().empty(); }, 20000));
  EXPECT_NE(recorder.Recorded().find("http://example.invalid/from-shell"), std::string::npos);
}

}  // namespace
}  // namespace uilib
