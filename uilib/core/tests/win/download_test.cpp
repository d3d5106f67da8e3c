// Downloads through the library's multi handle against a loopback HTTP server,
// pumped by the 1 ms thread timer of UILibStartup.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "route_http_server_win.h"
#include "runtime_test_support.h"
#include "uilib/download_record.h"
#include "uilib/win/uilib_runtime.h"

namespace uilib {
namespace {

// An element's download side that records what it was handed.
class RecordingOwner : public DownloadOwner {
 public:
  void OnFileDownloaded(DownloadRecord* record) override {
    ++files;
    last_path = record->final_path;
    last_value = record->client_value;
    last_success = record->success;
    DownloadOwner::OnFileDownloaded(record);
  }
  void OnTextDownloaded(DownloadRecord* record) override {
    ++texts;
    last_text = record->text;
    DownloadOwner::OnTextDownloaded(record);
  }
  int files = 0;
  int texts = 0;
  std::wstring last_path;
  std::uintptr_t last_value = 0;
  bool last_success = false;
  std::string last_text;
};

std::string ReadAll(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.listening());
    service = win::ActiveRuntime()->downloads.get();
  }
  // The cache and temporary files of a URL, removed so that no earlier run counts.
  std::wstring FreshCachePath(const std::string& url) {
    std::wstring path = service->CachePathFor(url);
    DeleteFileW(path.c_str());
    DeleteFileW((path + L".temp").c_str());
    return path;
  }

  velko::test_support::RouteHttpServer server;
  win::CurlDownloadService* service = nullptr;
};

TEST_F(DownloadTest, FileLandsInTheCacheAndASecondOwnerGetsItAtOnce) {
  server.SetRouteSequence("/img/logo.png", {{200, "image/png", "PNGDATA-0123456789"}});
  std::string url = server.Url("/img/logo.png");
  std::wstring cache = FreshCachePath(url);
  EXPECT_NE(cache.find(L"\\UILibTemp\\res_"), std::wstring::npos);
  EXPECT_EQ(cache.substr(cache.size() - 4), L".png");

  RecordingOwner first;
  first.DownloadFile(url.c_str(), 42);
  EXPECT_EQ(first.FileDownloadCount(), 1u);
  ASSERT_TRUE(test::PumpUntil([&] { return first.files == 1; }, 10000));
  EXPECT_TRUE(first.last_success);
  EXPECT_EQ(first.last_value, 42u);
  EXPECT_EQ(first.last_path, cache);
  EXPECT_EQ(ReadAll(cache), "PNGDATA-0123456789");
  EXPECT_FALSE(Exists(cache + L".temp"));
  EXPECT_EQ(first.FileDownloadCount(), 0u);  // consumed

  RecordingOwner second;
  second.DownloadFile(url.c_str(), 7);
  EXPECT_EQ(second.files, 1);  // served from the cache before DownloadFile returned
  EXPECT_EQ(second.last_path, cache);
  EXPECT_EQ(server.CountRequests("/img/logo.png"), 1);
}

TEST_F(DownloadTest, XmlTextArrivesInMemory) {
  server.SetRouteSequence("/feed", {{200, "Text/XML; charset=utf-8", "<ads><ad/></ads>"}});
  RecordingOwner owner;
  owner.DownloadText(server.Url("/feed").c_str());
  ASSERT_TRUE(test::PumpUntil([&] { return owner.texts == 1; }, 10000));
  EXPECT_EQ(owner.last_text, "<ads><ad/></ads>");
  EXPECT_EQ(owner.TextDownloadCount(), 0u);
}

// One wait of the real retry delay covers both kinds of failure.
TEST_F(DownloadTest, FailuresAreRetriedAfterTenSeconds) {
  server.SetRouteSequence("/flaky.bin", {{500, "text/plain", "boom"}, {200, "application/octet-stream", "payload"}});
  server.SetRouteSequence("/page", {{200, "text/html", "<html/>"}, {200, "application/xml", "<ok/>"}});
  std::string file_url = server.Url("/flaky.bin");
  std::wstring cache = FreshCachePath(file_url);
  RecordingOwner owner;
  DWORD start = GetTickCount();
  owner.DownloadFile(file_url.c_str(), 1);
  owner.DownloadText(server.Url("/page").c_str());
  ASSERT_TRUE(test::PumpUntil([&] { return server.CountRequests("/flaky.bin") == 1 && server.CountRequests("/page") == 1; }, 5000));
  // Both failed: nothing was delivered, the temporary file waits for the retry.
  ASSERT_TRUE(test::PumpUntil([&] { return service->ActiveTransfers() == 2 && Exists(cache + L".temp"); }, 5000));
  test::PumpUntil([] { return false; }, 500);
  EXPECT_EQ(owner.files + owner.texts, 0);
  EXPECT_FALSE(Exists(cache));

  ASSERT_TRUE(test::PumpUntil([&] { return owner.files == 1 && owner.texts == 1; }, 20000));
  DWORD elapsed = GetTickCount() - start;
  EXPECT_GE(elapsed, 9500u);
  EXPECT_LT(elapsed, 15000u);
  EXPECT_EQ(ReadAll(cache), "payload");
  EXPECT_EQ(owner.last_text, "<ok/>");
  EXPECT_EQ(server.CountRequests("/flaky.bin"), 2);
  EXPECT_EQ(server.CountRequests("/page"), 2);
}

TEST_F(DownloadTest, OwnerDestroyedMidTransferLeavesNoFiles) {
  server.SetRouteSequence("/big.bin", {{200, "application/octet-stream", std::string(4096, 'x'), true}});
  std::string url = server.Url("/big.bin");
  std::wstring cache = FreshCachePath(url);
  auto owner = std::make_unique<RecordingOwner>();
  owner->DownloadFile(url.c_str(), 0);
  // Part of the body arrived in the temporary file.
  ASSERT_TRUE(test::PumpUntil([&] { return !ReadAll(cache + L".temp").empty(); }, 10000));
  int transfers_before = service->ActiveTransfers();
  owner.reset();
  EXPECT_EQ(service->ActiveTransfers(), transfers_before - 1);
  EXPECT_FALSE(Exists(cache + L".temp"));
  EXPECT_FALSE(Exists(cache));
  // The connection is closed, not left to time out.
  EXPECT_TRUE(test::PumpUntil([&] { return server.OpenConnections() == 0; }, 5000));
}

TEST_F(DownloadTest, OwnerDestroyedWhileWaitingForARetryCancelsIt) {
  server.SetRouteSequence("/down.bin", {{503, "text/plain", "later"}});
  std::string url = server.Url("/down.bin");
  std::wstring cache = FreshCachePath(url);
  auto owner = std::make_unique<RecordingOwner>();
  owner->DownloadFile(url.c_str(), 0);
  ASSERT_TRUE(test::PumpUntil([&] { return server.CountRequests("/down.bin") == 1 && Exists(cache + L".temp"); }, 5000));
  test::PumpUntil([] { return false; }, 200);
  owner.reset();  // its retry timer must not fire on a freed record
  EXPECT_FALSE(Exists(cache + L".temp"));
  EXPECT_EQ(service->ActiveTransfers(), 0);
}

}  // namespace
}  // namespace uilib
