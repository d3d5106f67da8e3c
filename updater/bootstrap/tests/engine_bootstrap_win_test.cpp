// The bootstrap worker end to end against a loopback configuration host.
#include "engine_bootstrap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "engine_attempt.h"
#include "engine_folder_security.h"
#include "read_file_win.h"
#include "route_http_server_win.h"
#include "test_zip_builder.h"
#include "velko/crc32.h"
#include "velko/sha256.h"

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

  AttemptResult Attempt(const std::string& base_url = "") {
    EngineBootstrapOptions options = Options();
    if (!base_url.empty()) options.config_base_url = base_url;
    return RunEngineAttempt(AttemptOptionsOf(options), storage_, verified_);
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
  std::unique_ptr<EngineStorage> storage_;
  std::optional<VerifiedEngine> verified_;
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
  ServeConfig(ConfigFor({}), "text/plain");
  EXPECT_EQ(Attempt(), AttemptResult::kConfigUnavailable);
  server_.SetRoute("/xl/cfg.xml", HttpRoute{404, "text/xml", ConfigFor({})});
  EXPECT_EQ(Attempt(), AttemptResult::kConfigUnavailable);
  ServeConfig("<xl><storage save_base=\"C:\\x\"/></xl>");  // no downurl
  EXPECT_EQ(Attempt(), AttemptResult::kConfigRejected);
  EXPECT_EQ(storage_, nullptr);
  EXPECT_EQ(Attempt("http://127.0.0.1:1"), AttemptResult::kConfigUnavailable);
  // A configuration far larger than any real one is not read whole.
  ServeConfig(ConfigFor({}) + std::string(kMaxEngineConfigBytes, ' '));
  EXPECT_EQ(Attempt(), AttemptResult::kConfigUnavailable);
}

TEST_F(EngineBootstrapTest, PackageFailuresFailTheAttempt) {
  server_.SetRoute("/xl/engine.zip", HttpRoute{200, "application/zip", "PK"});
  EXPECT_EQ(Attempt(), AttemptResult::kPackageUnavailable);
  ASSERT_NE(storage_, nullptr);  // the configuration itself was read
  server_.SetRoute("/xl/engine.zip", HttpRoute{200, "application/octet-stream", "not a zip"});
  EXPECT_EQ(Attempt(), AttemptResult::kUnpackFailed);
  ServeConfig(ConfigFor({{"other.dll", Crc("x")}}));
  server_.SetRoute("/xl/engine.zip", HttpRoute{200, "application/octet-stream",
                                               testing::BuildZip({{"other.dll", "x"}})});
  EXPECT_EQ(Attempt(), AttemptResult::kNoEngineLibrary);
  EXPECT_FALSE(verified_.has_value());
}

// The package's xldl.dll does not hash as listed: nothing of it is written,
// and after three such downloads an engine left by an earlier run is not
// named for loading either (it failed its check too).
TEST_F(EngineBootstrapTest, ThreeCorruptDownloadsOverAStaleEngineNameNothing) {
  InstallLocally("an engine from an earlier run, now outdated");
  server_.SetRoute("/xl/engine.zip",
                   HttpRoute{200, "application/octet-stream",
                             testing::BuildZip({{"xldl.dll", "MZ tampered engine", true},
                                                {"sub/dir/file.dat", kDataBytes}})});
  EngineBootstrapOptions options = Options();
  options.retry_wait_ms = 10;
  RunEngineBootstrap(window_, options);
  const ReadyMessages messages = Collect(100);
  ASSERT_EQ(messages.paths.size(), 1u);
  EXPECT_EQ(messages.paths[0], L"");
  EXPECT_EQ(server_.CountRequests("/xl/engine.zip"), 3);
  EXPECT_EQ(test_support::ReadWholeFile(EnginePath()),
            std::optional<std::string>("an engine from an earlier run, now outdated"));
}

TEST_F(EngineBootstrapTest, AfterThreeFailuresAnEarlierEngineIsNotNamed) {
  InstallLocally("an engine from an earlier run, now outdated");
  server_.SetRoute("/xl/engine.zip", HttpRoute{404, "text/plain", ""});
  EngineBootstrapOptions options = Options();
  options.retry_wait_ms = 10;
  const std::unique_ptr<EngineStorage> storage = RunEngineBootstrap(window_, options);
  ASSERT_NE(storage, nullptr);
  const ReadyMessages messages = Collect(100);
  ASSERT_EQ(messages.paths.size(), 1u);
  EXPECT_EQ(messages.paths[0], L"");
  EXPECT_EQ(server_.CountRequests("/xl/engine.zip"), 3);
}

std::string Sha256Text(const std::string& bytes) {
  return Sha256ToHex(BufferSha256(bytes.data(), bytes.size()));
}

TEST_F(EngineBootstrapTest, Sha256IsCheckedBeforeAnythingIsWritten) {
  const std::string crc = Hex(Crc(kEngineBytes));
  const auto config = [&](const std::string& sha256) {
    std::string text = ConfigFor({});
    text.insert(text.find("</storage>"),
                "<file_hash name=\"xldl.dll\" crc=\"" + crc + "\" sha256=\"" + sha256 + "\"/>");
    return text;
  };
  ServeConfig(config(Sha256Text("same CRC, other bytes")));
  EXPECT_EQ(Attempt(), AttemptResult::kPackageMismatch);
  EXPECT_FALSE(test_support::Exists(EnginePath()));
  ServeConfig(config(Sha256Text(kEngineBytes)));
  EXPECT_EQ(Attempt(), AttemptResult::kInstalled);
  ASSERT_TRUE(verified_.has_value());
  EXPECT_EQ(verified_->library_path, EnginePath());
}

// What was checked is held: it cannot be changed until the hold goes.
TEST_F(EngineBootstrapTest, CheckedEngineCannotBeReplacedWhileHeld) {
  ASSERT_EQ(Attempt(), AttemptResult::kInstalled);
  ASSERT_TRUE(verified_.has_value());
  EXPECT_FALSE(test_support::WriteText(EnginePath(), "MZ swapped in after the check"));
  EXPECT_FALSE(::DeleteFileW(EnginePath().c_str()));
  verified_.reset();
  EXPECT_TRUE(test_support::WriteText(EnginePath(), "MZ writable again"));
}

TEST_F(EngineBootstrapTest, RequiredHashesRefuseAConfigurationWithoutThem) {
  EngineBootstrapOptions options = Options();
  options.require_hashes = true;
  EXPECT_EQ(RunEngineAttempt(AttemptOptionsOf(options), storage_, verified_),
            AttemptResult::kConfigRejected);
}

TEST_F(EngineBootstrapTest, HttpsConfigurationMayNotNameAnHttpPackage) {
  // No TLS server here: the point is that the attempt never falls back to
  // plain http, neither for the configuration nor for the package.
  EXPECT_EQ(Attempt("https://127.0.0.1:1"), AttemptResult::kConfigUnavailable);
  EXPECT_EQ(server_.CountRequests("/xl/cfg.xml"), 0);
}

TEST_F(EngineBootstrapTest, EmptyFileListOverAnExistingFolderNeedsNoDownload) {
  ServeConfig(ConfigFor({}));
  ::CreateDirectoryW(save_base_.c_str(), nullptr);
  EXPECT_EQ(Attempt(), AttemptResult::kVerified);
  // No xldl.dll there: the notification is null.
  ASSERT_TRUE(verified_.has_value());
  EXPECT_EQ(MakeEngineReadyPath(&*verified_), nullptr);
  EXPECT_EQ(server_.CountRequests("/xl/engine.zip"), 0);
}

TEST_F(EngineBootstrapTest, EngineFolderOnAJunctionIsRefused) {
  const std::wstring real = temp_.Child(L"real");
  const std::wstring link = temp_.Child(L"link");
  ASSERT_TRUE(::CreateDirectoryW(real.c_str(), nullptr));
  if (!test_support::MakeJunction(link, real)) GTEST_SKIP() << "this file system makes no junctions";
  save_base_ = link + L"\\engine";
  ServeConfig(ConfigFor({{"xldl.dll", Crc(kEngineBytes)}}));
  EXPECT_EQ(Attempt(), AttemptResult::kFolderUnsafe);
  EXPECT_FALSE(test_support::Exists(real + L"\\engine\\xldl.dll"));
}

TEST_F(EngineBootstrapTest, EngineFolderIsWritableOnlyByAdministrators) {
  // A folder planted beforehand with default permissions is taken over too.
  ASSERT_TRUE(::CreateDirectoryW(save_base_.c_str(), nullptr));
  ASSERT_EQ(Attempt(), AttemptResult::kInstalled);
  if (!FolderDescriptorAllowsOnlyAdministrators(save_base_)) {
    // Wine keeps no security descriptors on files: it reports one made up
    // from the Unix permissions, whatever was set.
    GTEST_SKIP() << "this file system keeps no security descriptors";
  }
  SUCCEED();
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
  EXPECT_EQ(storage->files.at(L"xldl.dll").crc, 1u);
}

// The engine is loaded elevated from the save base: only a folder on a local
// drive will do, never a share or a device path.
TEST(EngineStorageTest, SaveBaseMustBeALocalDriveFolder) {
  for (const char* save_base : {"", "engine", "sub\\engine", "\\engine", "C:engine",
                                "\\\\host\\share", "\\\\host\\share\\engine",
                                "\\\\?\\C:\\x", "\\\\.\\C:\\x", "C:\\x\\..\\..\\y"}) {
    const std::string document = std::string("<xl><storage save_base=\"") + save_base +
                                 "\" downurl=\"http://h/e.zip\"/></xl>";
    EXPECT_EQ(ParseEngineStorage(document), nullptr) << save_base;
  }
  EXPECT_NE(ParseEngineStorage("<xl><storage save_base=\"D:\\e\" downurl=\"u\"/></xl>"), nullptr);
}

TEST(EngineStorageTest, ListedNamesMustStayInsideTheSaveBase) {
  EXPECT_EQ(ParseEngineStorage("<xl><storage save_base=\"D:\\e\" downurl=\"u\">"
                               "<file_hash name=\"..\\..\\evil.dll\" crc=\"0x1\"/></storage></xl>"),
            nullptr);
  const auto storage = ParseEngineStorage(
      "<xl><storage save_base=\"D:\\e\" downurl=\"u\">"
      "<file_hash name=\"doc/readme.txt\" crc=\"0x1\"/></storage></xl>");
  ASSERT_NE(storage, nullptr);
  EXPECT_EQ(storage->files.count(L"doc\\readme.txt"), 1u);
}

}  // namespace
}  // namespace velko::bootstrap
