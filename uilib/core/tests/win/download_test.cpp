// Downloads through the library's multi handle against a loopback HTTP server,
// pumped by the thread timer of UILibStartup (1 ms while transfers run).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "route_http_server_win.h"
#include "runtime_test_support.h"
#include "uilib/download_record.h"
#include "uilib/win/uilib_runtime.h"

#include <winioctl.h>

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
    threads.push_back(GetCurrentThreadId());
    pace_at_delivery = win::ActiveRuntime()->pump_pace_ms;
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
  std::vector<DWORD> threads;
  UINT pace_at_delivery = 0;
};

std::string ReadAll(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The temporary files of a cache file: "<cache>.<random>.temp".
std::vector<std::wstring> TempFilesOf(const std::wstring& cache) {
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW((cache + L".*.temp").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return found;
  const std::wstring folder = std::filesystem::path(cache).parent_path().wstring();
  do {
    found.push_back(folder + L"\\" + data.cFileName);
  } while (FindNextFileW(search, &data));
  FindClose(search);
  return found;
}

// Turns the empty folder `path` into a junction to `target`. False where the
// file system cannot (Wine keeps plain folders).
bool MakeJunction(const std::wstring& path, const std::wstring& target) {
  HANDLE folder = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return false;
  const std::wstring substitute = L"\\??\\" + target;
  const auto name_bytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
  struct {
    DWORD tag;
    WORD data_length;
    WORD reserved;
    WORD substitute_offset;
    WORD substitute_length;
    WORD print_offset;
    WORD print_length;
    wchar_t names[MAX_PATH * 2];
  } buffer{};
  buffer.tag = IO_REPARSE_TAG_MOUNT_POINT;
  buffer.substitute_length = name_bytes;
  buffer.print_offset = static_cast<WORD>(name_bytes + sizeof(wchar_t));
  substitute.copy(buffer.names, substitute.size());
  buffer.data_length = static_cast<WORD>(8 + name_bytes + 2 * sizeof(wchar_t));
  DWORD returned = 0;
  const BOOL ok = DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, &buffer, 8 + buffer.data_length, nullptr, 0,
                                  &returned, nullptr);
  CloseHandle(folder);
  return ok && (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

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
    RemoveDirectoryW(path.c_str());
    DeleteFileW((path + L".temp").c_str());
    for (const std::wstring& temp : TempFilesOf(path)) DeleteFileW(temp.c_str());
    return path;
  }
  // Lets the pump and the posted requests run for a while.
  static void Settle(DWORD ms) { test::PumpUntil([] { return false; }, ms); }

  velko::test_support::RouteHttpServer server;
  win::CurlDownloadService* service = nullptr;
};

TEST_F(DownloadTest, FileLandsInTheCacheAndASecondOwnerGetsItFromThere) {
  server.SetRouteSequence("/img/logo.png", {{200, "image/png", "PNGDATA-0123456789"}});
  std::string url = server.Url("/img/logo.png");
  std::wstring cache = FreshCachePath(url);
  EXPECT_NE(cache.find(L"\\UILibTemp\\res_"), std::wstring::npos);
  EXPECT_EQ(cache.substr(cache.size() - 4), L".png");

  RecordingOwner first;
  first.DownloadFile(url.c_str(), 42);
  ASSERT_TRUE(test::PumpUntil([&] { return first.files == 1; }, 10000));
  EXPECT_TRUE(first.last_success);
  EXPECT_EQ(first.last_value, 42u);
  EXPECT_EQ(first.last_path, cache);
  EXPECT_EQ(ReadAll(cache), "PNGDATA-0123456789");
  EXPECT_TRUE(TempFilesOf(cache).empty());
  EXPECT_EQ(first.FileDownloadCount(), 0u);  // consumed
  EXPECT_NE(win::ActiveRuntime()->downloads->Multi(), nullptr);  // opened by the first transfer
  // The pump ran at its fast pace while the transfer ran, and idles after it.
  EXPECT_EQ(first.pace_at_delivery, win::kNetworkPumpMs);
  EXPECT_EQ(win::ActiveRuntime()->pump_pace_ms, win::kIdlePumpMs);

  RecordingOwner second;
  second.DownloadFile(url.c_str(), 7);
  EXPECT_EQ(second.files, 0);  // never inside the call: it may come from a paint
  ASSERT_TRUE(test::PumpUntil([&] { return second.files == 1; }, 5000));
  EXPECT_EQ(second.last_path, cache);
  EXPECT_EQ(server.CountRequests("/img/logo.png"), 1);
}

// A paint on the render thread asks for a remote picture: the request waits
// for the UI thread, which alone touches the transfers and tells the owner.
TEST_F(DownloadTest, RequestsFromAnotherThreadAreStartedOnTheUiThread) {
  server.SetRoute("/a.png", {200, "image/png", "A"});
  server.SetRoute("/b.png", {200, "image/png", "B"});
  const std::string cached = server.Url("/a.png");
  const std::string remote = server.Url("/b.png");
  FreshCachePath(cached);
  FreshCachePath(remote);
  RecordingOwner warm;
  warm.DownloadFile(cached.c_str(), 0);
  ASSERT_TRUE(test::PumpUntil([&] { return warm.files == 1; }, 10000));

  RecordingOwner owner;
  std::thread painter([&] {
    owner.DownloadFile(cached.c_str(), 1);
    owner.DownloadFile(remote.c_str(), 2);
  });
  painter.join();
  EXPECT_EQ(owner.files, 0);
  EXPECT_EQ(service->ActiveTransfers(), 0);
  EXPECT_EQ(service->QueuedRequests(), 2u);
  ASSERT_TRUE(test::PumpUntil([&] { return owner.files == 2; }, 10000));
  EXPECT_EQ(owner.threads, (std::vector<DWORD>{GetCurrentThreadId(), GetCurrentThreadId()}));
}

// Two elements with one remote source: one request, both get the file, also
// when the first of them is gone before it arrived.
TEST_F(DownloadTest, OneTransferServesEveryOwnerOfAnAddress) {
  server.SetRoute("/shared.png", {200, "image/png", "SHARED"});
  const std::string url = server.Url("/shared.png");
  const std::wstring cache = FreshCachePath(url);
  RecordingOwner first, second;
  auto leaving = std::make_unique<RecordingOwner>();
  first.DownloadFile(url.c_str(), 1);
  leaving->DownloadFile(url.c_str(), 2);
  second.DownloadFile(url.c_str(), 3);
  ASSERT_TRUE(test::PumpUntil([&] { return service->QueuedRequests() == 0; }, 5000));
  leaving.reset();
  ASSERT_TRUE(test::PumpUntil([&] { return first.files == 1 && second.files == 1; }, 10000));
  EXPECT_EQ(first.last_path, cache);
  EXPECT_EQ(second.last_path, cache);
  EXPECT_EQ(second.last_value, 3u);
  EXPECT_EQ(ReadAll(cache), "SHARED");
  EXPECT_EQ(server.CountRequests("/shared.png"), 1);
}

TEST_F(DownloadTest, XmlTextArrivesInMemory) {
  server.SetRouteSequence("/feed", {{200, "Text/XML; charset=utf-8", "<ads><ad/></ads>"}});
  RecordingOwner owner;
  owner.DownloadText(server.Url("/feed").c_str());
  ASSERT_TRUE(test::PumpUntil([&] { return owner.texts == 1; }, 10000));
  EXPECT_EQ(owner.last_text, "<ads><ad/></ads>");
  EXPECT_EQ(owner.TextDownloadCount(), 0u);
}

// Addresses that are not http or https, also where a redirect leads, and
// bodies over the cap are refused at once: no retry, nothing left behind.
TEST_F(DownloadTest, OtherSchemesRedirectsToThemAndOversizedBodiesAreRefused) {
  server.SetRoute("/to-file", {302, "text/plain", "", false, "file:///C:/windows/win.ini"});
  server.SetRoute("/to-ftp", {302, "text/plain", "", false, "ftp://127.0.0.1/x.png"});
  server.SetRoute("/big.png", {200, "image/png", std::string(5000, 'x')});
  server.SetRoute("/big-unsized.png", {200, "image/png", std::string(5000, 'x'), false, "", true});
  const std::vector<std::string> urls{"ftp://127.0.0.1/x.png", "file:///C:/windows/win.ini",
                                      server.Url("/to-file"), server.Url("/to-ftp")};
  std::vector<std::wstring> caches;
  RecordingOwner owner;
  for (const std::string& url : urls) {
    caches.push_back(FreshCachePath(url));
    owner.DownloadFile(url.c_str(), 0);
  }
  for (const char* path : {"/big.png", "/big-unsized.png"}) {
    caches.push_back(FreshCachePath(server.Url(path)));
    owner.DownloadFileUpTo(server.Url(path).c_str(), 0, 1000);
  }
  owner.DownloadText("file:///C:/windows/win.ini");
  ASSERT_TRUE(test::PumpUntil([&] { return server.CountRequests("/big-unsized.png") == 1; }, 5000));
  ASSERT_TRUE(test::PumpUntil([&] { return owner.FileDownloadCount() + owner.TextDownloadCount() == 0; }, 10000));
  EXPECT_EQ(service->ActiveTransfers(), 0);
  EXPECT_EQ(owner.files + owner.texts, 0);
  for (const std::wstring& cache : caches) {
    EXPECT_FALSE(Exists(cache));
    EXPECT_TRUE(TempFilesOf(cache).empty());
  }
  EXPECT_EQ(server.CountRequests("/to-file"), 1);
  EXPECT_EQ(server.CountRequests("/to-ftp"), 1);
}

// Another user may have put a file where the temporary file used to be
// written, or a link or junction where the cache file belongs: neither is
// opened, overwritten or followed.
TEST_F(DownloadTest, PlantedFilesAndLinksAreNotFollowed) {
  server.SetRoute("/planted.png", {200, "image/png", "FRESH"});
  server.SetRoute("/linked.png", {200, "image/png", "FRESH"});
  const std::string planted_url = server.Url("/planted.png");
  const std::wstring cache = FreshCachePath(planted_url);
  ASSERT_TRUE(CreateDirectoryW(service->CacheFolder().c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  std::ofstream(std::filesystem::path(cache + L".temp"), std::ios::binary) << "VICTIM";
  RecordingOwner owner;
  owner.DownloadFile(planted_url.c_str(), 0);
  ASSERT_TRUE(test::PumpUntil([&] { return owner.files == 1; }, 10000));
  EXPECT_EQ(ReadAll(cache), "FRESH");
  EXPECT_EQ(ReadAll(cache + L".temp"), "VICTIM");
  DeleteFileW((cache + L".temp").c_str());

  // A junction (or, where junctions cannot be made, a folder) at the cache path.
  const std::string linked_url = server.Url("/linked.png");
  const std::wstring linked_cache = FreshCachePath(linked_url);
  const std::wstring target = service->CacheFolder() + L"\\link-target";
  CreateDirectoryW(target.c_str(), nullptr);
  ASSERT_TRUE(CreateDirectoryW(linked_cache.c_str(), nullptr));
  const bool linked = MakeJunction(linked_cache, target);
  owner.DownloadFile(linked_url.c_str(), 0);
  ASSERT_TRUE(test::PumpUntil([&] { return owner.FileDownloadCount() == 0 && service->QueuedRequests() == 0; }, 5000));
  Settle(200);
  EXPECT_EQ(owner.files, 1);
  EXPECT_EQ(server.CountRequests("/linked.png"), 0);
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(target)));
  RemoveDirectoryW(linked_cache.c_str());
  RemoveDirectoryW(target.c_str());
  if (!linked) std::printf("note: no junctions here; a folder stood in for one\n");
}

TEST(CacheFolderTest, OnlyUnderAnAbsoluteTemporaryFolder) {
  EXPECT_EQ(win::CacheFolderUnder(L"C:\\users\\me\\Temp\\"), L"C:\\users\\me\\Temp\\UILibTemp");
  EXPECT_EQ(win::CacheFolderUnder(L"\\\\server\\share\\"), L"\\\\server\\share\\UILibTemp");
  EXPECT_EQ(win::CacheFolderUnder(L""), L"");
  EXPECT_EQ(win::CacheFolderUnder(L"Temp\\"), L"");
  EXPECT_EQ(win::CacheFolderUnder(L"C:Temp"), L"");
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
  ASSERT_TRUE(test::PumpUntil([&] { return service->ActiveTransfers() == 2 && TempFilesOf(cache).size() == 1; }, 5000));
  Settle(500);
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

// A source that keeps failing is given up after a few attempts.
TEST(DownloadRetryLimitTest, AFailingSourceIsGivenUp) {
  velko::test_support::RouteHttpServer server;
  ASSERT_TRUE(server.listening());
  server.SetRoute("/down.bin", {503, "text/plain", "later"});
  HWND window = win::ActiveRuntime()->message_window.hwnd();
  CURLM* multi = curl_multi_init();
  win::DownloadTimings quick;
  quick.retry_delay_ms = 50;
  const std::string url = server.Url("/down.bin");
  RecordingOwner owner;
  {
    // A service of its own with short retry delays, pumped here.
    DownloadService* runtime_service = ActiveDownloadService();
    win::CurlDownloadService service(multi, window, win::ActiveRuntime()->downloads->CacheFolder(), quick);
    SetActiveDownloadService(&service);
    owner.DownloadFile(url.c_str(), 0);
    service.RunRequests();
    const DWORD start = GetTickCount();
    while (owner.FileDownloadCount() != 0 && GetTickCount() - start < 10000) {
      service.Pump();
      MSG message;
      while (PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageW(&message);
      Sleep(5);
    }
    EXPECT_EQ(owner.FileDownloadCount(), 0u);
    EXPECT_EQ(service.ActiveTransfers(), 0);
    SetActiveDownloadService(runtime_service);
  }
  curl_multi_cleanup(multi);
  EXPECT_EQ(server.CountRequests("/down.bin"), quick.max_attempts);
  EXPECT_EQ(owner.files, 0);
}

// libcurl starts with the first transfer, once: a program that never
// downloads never loads it, and where it cannot start, transfers are dropped
// as ones that cannot be set up, without trying to start it again.
CURLM* g_opened_multi = nullptr;
int g_multi_opens = 0;
CURLM* CountingOpener() {
  ++g_multi_opens;
  return g_opened_multi;
}

TEST(DownloadStartTest, TheMultiHandleOpensWithTheFirstTransferOnly) {
  velko::test_support::RouteHttpServer server;
  ASSERT_TRUE(server.listening());
  server.SetRoute("/a.xml", {200, "text/xml", "<a/>"});
  HWND window = win::ActiveRuntime()->message_window.hwnd();
  const std::wstring cache = win::ActiveRuntime()->downloads->CacheFolder();
  DownloadService* runtime_service = ActiveDownloadService();
  for (const bool opens : {true, false}) {
    g_opened_multi = opens ? curl_multi_init() : nullptr;
    g_multi_opens = 0;
    const int requests_before = server.CountRequests("/a.xml");
    RecordingOwner owner;
    {
      win::CurlDownloadService service(&CountingOpener, window, cache);
      SetActiveDownloadService(&service);
      service.Pump();
      EXPECT_EQ(g_multi_opens, 0);
      EXPECT_EQ(service.Multi(), nullptr);
      for (int i = 0; i < 2; ++i) {
        owner.DownloadText(server.Url("/a.xml").c_str());
        service.RunRequests();
      }
      const DWORD start = GetTickCount();
      while (opens && owner.texts < 2 && GetTickCount() - start < 10000) {
        service.Pump();
        Sleep(5);
      }
      EXPECT_EQ(g_multi_opens, 1) << (opens ? "opened" : "failing");
      EXPECT_EQ(owner.texts, opens ? 2 : 0);
      EXPECT_EQ(owner.TextDownloadCount(), 0u);
      EXPECT_EQ(server.CountRequests("/a.xml") - requests_before, opens ? 2 : 0);
      SetActiveDownloadService(runtime_service);
    }
    if (g_opened_multi != nullptr) curl_multi_cleanup(g_opened_multi);
  }
}

TEST_F(DownloadTest, OwnerDestroyedMidTransferLeavesNoFiles) {
  server.SetRouteSequence("/big.bin", {{200, "application/octet-stream", std::string(4096, 'x'), true}});
  std::string url = server.Url("/big.bin");
  std::wstring cache = FreshCachePath(url);
  auto owner = std::make_unique<RecordingOwner>();
  owner->DownloadFile(url.c_str(), 0);
  // Part of the body arrived in the temporary file.
  ASSERT_TRUE(test::PumpUntil([&] {
    auto temps = TempFilesOf(cache);
    return temps.size() == 1 && !ReadAll(temps[0]).empty();
  }, 10000));
  int transfers_before = service->ActiveTransfers();
  owner.reset();
  EXPECT_EQ(service->ActiveTransfers(), transfers_before - 1);
  EXPECT_TRUE(TempFilesOf(cache).empty());
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
  ASSERT_TRUE(test::PumpUntil([&] { return server.CountRequests("/down.bin") == 1 && TempFilesOf(cache).size() == 1; }, 5000));
  Settle(200);
  owner.reset();  // its retry timer must not fire on a freed record
  EXPECT_TRUE(TempFilesOf(cache).empty());
  EXPECT_EQ(service->ActiveTransfers(), 0);
}

}  // namespace
}  // namespace uilib
