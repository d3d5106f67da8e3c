// The bootstrap worker end to end against a loopback configuration host.
#include "engine_bootstrap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "engine_attempt.h"
#include "read_file_win.h"
#include "route_http_server_win.h"
#include "test_zip_builder.h"
#include "velko/crc32.h"
#include "win_test_support.h"

namespace velko::bootstrap {
namespace {

using test_support::HttpRoute;
using test_support::RouteHttpServer;
using test_support::TempFolder;

constexpr UINT kReadyMessage = 0x1400;
const std::string kEngineBytes = "MZ reference engine stand-in";
const std::string kDataBytes = "engine data file";

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%x", value);
  return text;
}

std::uint32_t Crc(const std::string& bytes) { return BufferCrc32(bytes.data(), bytes.size()); }

// Every WM_ENGINE_READY the window receives, collected for a while.
struct ReadyMessages {
  std::vector<std::wstring> paths;  // "" for a null path
};

class EngineBootstrapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.listening());
    window_ = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr);
    ASSERT_NE(window_, nullptr);
    save_base_ = temp_.Child(L"engine");
    ServeConfig(ConfigFor({{"xldl.dll", Crc(kEngineBytes)}, {"sub\\dir\\file.dat", Crc(kDataBytes)}}));
    server_.SetRoute("/xl/engine.zip",
                     HttpRoute{200, "application/octet-stream",
                               testing::BuildZip({{"xldl.dll", kEngineBytes, true},
                                                  {"sub/", "", false, 0x10},
                                                  {"sub/dir/file.dat", kDataBytes}})});
  }
  void TearDown() override { ::DestroyWindow(window_); }

  std::string ConfigFor(const std::vector<std::pair<std::string, std::uint32_t>>& files,
                        const std::string& crc_override = "") const {
    const std::wstring& base = save_base_;
    std::string text = "<?xml version=\"1.0\"?><xl><storage save_base=\"" +
                       std::string(base.begin(), base.end()) + "\" downurl=\"" + server_.BaseUrl() +
                       "/xl/engine.zip\">";
    for (const auto& [name, crc] : files) {
      text += "<file_hash name=\"" + name + "\" crc=\"" +
              (crc_override.empty() ? Hex(crc) : crc_override) + "\"/>";
    }
    return text + "</storage></xl>";
  }

  void ServeConfig(const std::string& text, const std::string& type = "text/xml; charset=utf-8") {
    server_.SetRoute("/xl/cfg.xml", HttpRoute{200, type, text});
  }

  EngineBootstrapOptions Options() const {
    EngineBootstrapOptions options;
    options.config_base_url = server_.BaseUrl();
    return options;
  }

  // Waits for the first message (up to 15 s), then `quiet_ms` more for any
  // further one.
  ReadyMessages Collect(DWORD quiet_ms = 800) {
    ReadyMessages messages;
    ULONGLONG deadline = ::GetTickCount64() + 15000;
    while (::GetTickCount64() < deadline) {
      MSG message;
      if (::PeekMessageW(&message, window_, kReadyMessage, kReadyMessage, PM_REMOVE)) {
        messages.paths.push_back(TakeEngineReadyPath(message.wParam).value_or(L""));
        deadline = ::GetTickCount64() + quiet_ms;
        continue;
      }
      ::Sleep(10);
    }
    return messages;
  }

  std::wstring EnginePath() const { return save_base_ + L"\\xldl.dll"; }

  void InstallLocally(const std::string& engine_bytes) {
    ::CreateDirectoryW(save_base_.c_str(), nullptr);
    ::CreateDirectoryW((save_base_ + L"\\sub").c_str(), nullptr);
    ::CreateDirectoryW((save_base_ + L"\\sub\\dir").c_str(), nullptr);
    ASSERT_TRUE(test_support::WriteText(EnginePath(), engine_bytes));
    ASSERT_TRUE(test_support::WriteText(save_base_ + L"\\sub\\dir\\file.dat", kDataBytes));
  }

  RouteHttpServer server_;
  TempFolder temp_;
  std::wstring save_base_;
  HWND window_ = nullptr;
};

TEST_F(EngineBootstrapTest, FirstRunDownloadsUnpacksAndPostsThePathOnce) {
  auto bootstrap = EngineBootstrap::Create(window_, Options());
  ASSERT_NE(bootstrap, nullptr);
  EXPECT_NE(bootstrap->thread_id(), 0u);
  const ReadyMessages messages = Collect();
  ASSERT_EQ(messages.paths.size(), 1u);
  EXPECT_EQ(messages.paths[0], EnginePath());
  EXPECT_EQ(test_support::ReadWholeFile(EnginePath()), kEngineBytes);
  EXPECT_EQ(test_support::ReadWholeFile(save_base_ + L"\\sub\\dir\\file.dat"), kDataBytes);
  EXPECT_EQ(server_.CountRequests("/xl/cfg.xml"), 1);
  EXPECT_EQ(server_.CountRequests("/xl/engine.zip"), 1);
}

TEST_F(EngineBootstrapTest, IntactEngineIsNotDownloadedAgain) {
  InstallLocally(kEngineBytes);
  auto bootstrap = EngineBootstrap::Create(window_, Options());
  ASSERT_NE(bootstrap, nullptr);
  const ReadyMessages messages = Collect();
  ASSERT_EQ(messages.paths.size(), 1u);
  EXPECT_EQ(messages.paths[0], EnginePath());
  EXPECT_EQ(server_.CountRequests("/xl/engine.zip"), 0);
}

TEST_F(EngineBootstrapTest, OneMismatchingFileBringsThePackageAgain) {
  InstallLocally("a damaged engine");
  auto bootstrap = EngineBootstrap::Create(window_, Options());
  ASSERT_NE(bootstrap, nullptr);
  const ReadyMessages messages = Collect();
  ASSERT_EQ(messages.paths.size(), 1u);
  EXPECT_EQ(server_.CountRequests("/xl/engine.zip"), 1);
  EXPECT_EQ(test_support::ReadWholeFile(EnginePath()), kEngineBytes);
}

TEST_F(EngineBootstrapTest, RejectedConfigurationIsTriedThreeTimesThenNullIsPosted) {
  // A capital X in a CRC rejects the whole configuration.
  ServeConfig(ConfigFor({{"xldl.dll", 0x1A2B}}, "0X1A2B"));
  auto bootstrap = EngineBootstrap::Create(window_, Options());
  ASSERT_NE(bootstrap, nullptr);
  const ReadyMessages messages = Collect();
  ASSERT_EQ(messages.paths.size(), 1u);
  EXPECT_EQ(messages.paths[0], L"");
  EXPECT_EQ(server_.CountRequests("/xl/cfg.xml"), 3);
  EXPECT_EQ(server_.CountRequests("/xl/engine.zip"), 0);
}

TEST_F(EngineBootstrapTest, EachConfigurationFailureHasItsAttemptResult) {
  std::unique_ptr<EngineStorage> storage;
  ServeConfig(ConfigFor({}), "text/plain");
  EXPECT_EQ(RunEngineAttempt(server_.BaseUrl(), storage), AttemptResult::kConfigUnavailable);
  server_.SetRoute("/xl/cfg.xml", HttpRoute{404, "text/xml", ConfigFor({})});
  EXPECT_EQ(RunEngineAttempt(server_.BaseUrl(), storage), AttemptResult::kConfigUnavailable);
  ServeConfig("<xl><storage save_base=\"C:\\x\"/></xl>");  // no downurl
  EXPECT_EQ(RunEngineAttempt(server_.BaseUrl(), storage), AttemptResult::kConfigRejected);
  EXPECT_EQ(storage, nullptr);
  EXPECT_EQ(RunEngineAttempt("http://127.0.0.1:1", storage), AttemptResult::kConfigUnavailable);
}

TEST_F(EngineBootstrapTest, PackageFailuresFailTheAttempt) {
  std::unique_ptr<EngineStorage> storage;
  server_.SetRoute("/xl/engine.zip", HttpRoute{200, "application/zip", "PK"});
  EXPECT_EQ(RunEngineAttempt(server_.BaseUrl(), storage), AttemptResult::kPackageUnavailable);
  ASSERT_NE(storage, nullptr);  // the configuration itself was read
  server_.SetRoute("/xl/engine.zip", HttpRoute{200, "application/octet-stream", "not a zip"});
  EXPECT_EQ(RunEngineAttempt(server_.BaseUrl(), storage), AttemptResult::kUnpackFailed);
  server_.SetRoute("/xl/engine.zip", HttpRoute{200, "application/octet-stream",
                                               testing::BuildZip({{"other.dll", "x"}})});
  EXPECT_EQ(RunEngineAttempt(server_.BaseUrl(), storage), AttemptResult::kNoEngineLibrary);
}

TEST_F(EngineBootstrapTest, AfterThreeFailuresAnEarlierEngineIsStillNamed) {
  InstallLocally("an engine from an earlier run, now outdated");
  server_.SetRoute("/xl/engine.zip", HttpRoute{404, "text/plain", ""});
  EngineBootstrapOptions options = Options();
  options.retry_wait_ms = 10;
  const std::unique_ptr<EngineStorage> storage = RunEngineBootstrap(window_, options);
  ASSERT_NE(storage, nullptr);
  const ReadyMessages messages = Collect(100);
  ASSERT_EQ(messages.paths.size(), 1u);
  EXPECT_EQ(messages.paths[0], EnginePath());
  EXPECT_EQ(server_.CountRequests("/xl/engine.zip"), 3);
}

TEST_F(EngineBootstrapTest, EmptyFileListOverAnExistingFolderNeedsNoDownload) {
  ServeConfig(ConfigFor({}));
  ::CreateDirectoryW(save_base_.c_str(), nullptr);
  std::unique_ptr<EngineStorage> storage;
  EXPECT_EQ(RunEngineAttempt(server_.BaseUrl(), storage), AttemptResult::kVerified);
  // No xldl.dll there: the notification is null.
  EXPECT_EQ(MakeEngineReadyPath(storage.get()), nullptr);
  EXPECT_EQ(server_.CountRequests("/xl/engine.zip"), 0);
}

TEST(EngineStorageTest, TokensAreExpandedAndTheFirstDuplicateWins) {
  const auto storage = ParseEngineStorage(
      "<xl><storage save_base=\"CSIDL_LOCAL_APPDATA\\VelkoEngine\" downurl=\"http://h/e.zip\">"
      "<file_hash name=\"xldl.dll\" crc=\"0x1\"/><file_hash name=\"xldl.dll\" crc=\"0x2\"/>"
      "</storage></xl>");
  ASSERT_NE(storage, nullptr);
  EXPECT_EQ(storage->save_base.find(L"CSIDL_"), std::wstring::npos);
  EXPECT_EQ(storage->save_base.substr(storage->save_base.size() - 12), L"\\VelkoEngine");
  EXPECT_EQ(storage->package_url, L"http://h/e.zip");
  ASSERT_EQ(storage->files.size(), 1u);
  EXPECT_EQ(storage->files.at(L"xldl.dll"), 1u);
}

TEST(EngineStorageTest, SaveBaseMustBeAnAbsoluteFolder) {
  for (const char* save_base : {"", "engine", "sub\\engine", "\\engine", "C:engine"}) {
    const std::string document = std::string("<xl><storage save_base=\"") + save_base +
                                 "\" downurl=\"http://h/e.zip\"/></xl>";
    EXPECT_EQ(ParseEngineStorage(document), nullptr) << save_base;
  }
  EXPECT_NE(ParseEngineStorage("<xl><storage save_base=\"D:\\e\" downurl=\"u\"/></xl>"), nullptr);
  EXPECT_NE(ParseEngineStorage("<xl><storage save_base=\"\\\\srv\\e\" downurl=\"u\"/></xl>"),
            nullptr);
}

}  // namespace
}  // namespace velko::bootstrap
