// The task-mode controller: its message protocol, and whole runs from the
// engine bootstrap to the applied package with the reference engine, a
// loopback server and scratch folders in place of the machine's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <filesystem>

#include "apply_test_files.h"
#include "read_file_win.h"
#include "route_http_server_win.h"
#include "update_browser_thread.h"
#include "updater_messages.h"

namespace velko::updater {
namespace {

using test_support::Exists;
using test_support::HttpRoute;
using test_support::RouteHttpServer;
using test_support::TempFolder;

constexpr int kHungRunCode = 99;

int load_failures = 0;
void CountLoadFailure() { ++load_failures; }

// Ends a run that would otherwise never end, so a fault fails the test
// instead of hanging it.
void CALLBACK EndHungRun(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(kHungRunCode); }

int RunWithDeadline(CUpdateBrowserThread& controller) {
  const UINT_PTR guard = ::SetTimer(nullptr, 0, 30000, EndHungRun);
  const int code = controller.RunMessageLoop();
  ::KillTimer(nullptr, guard);
  return code;
}

ControllerServices QuietServices(const std::string& config_base_url) {
  ControllerServices services;
  services.bootstrap_options.config_base_url = config_base_url;
  services.bootstrap_options.retry_wait_ms = 10;
  services.report_engine_load_failure = CountLoadFailure;
  services.apply_steps.is_browser_running = [](const std::wstring&) { return false; };
  services.apply_steps.start_self_copy = [](const std::wstring&) { return false; };
  return services;
}

void DropPendingMessages(HWND hwnd) {
  MSG pending;
  while (::PeekMessageW(&pending, hwnd, 0, 0, PM_REMOVE)) {
  }
}

TEST(CUpdateBrowserThread, IsAMessageOnlyWindowThatEndsItsRunWithZero) {
  RouteHttpServer server;  // no routes: the configuration is never found
  CUpdateBrowserThread controller(::GetModuleHandleW(nullptr), SW_SHOWDEFAULT);
  controller.SetServices(QuietServices(server.BaseUrl()));
  auto info = std::make_unique<UpdateInfo>();
  info->package_url = "http://127.0.0.1/p.rar";
  controller.SetUpdateInfo(std::move(info));
  ASSERT_TRUE(controller.CreateControllerWindow());
  const HWND hwnd = controller.hwnd();
  EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWL_STYLE) & 0x56000000, 0x56000000);
  wchar_t title[8] = L"x";
  ::GetWindowTextW(hwnd, title, 8);
  EXPECT_STREQ(title, L"");
  EXPECT_EQ(::FindWindowExW(HWND_MESSAGE, nullptr, L"VelkoUpdateBrowserThread", nullptr), hwnd);
  EXPECT_EQ(RunWithDeadline(controller), 0);
  EXPECT_EQ(controller.hwnd(), nullptr);
  EXPECT_EQ(server.CountRequests("/xl/cfg.xml"), 3);
  EXPECT_EQ(controller.down_wrapper(), nullptr);
}

// Each of these ends the run: the window is destroyed and the loop returns 0.
// An engine path that does not load reports the failure once.
class EndingMessage : public ::testing::TestWithParam<UINT> {};

TEST_P(EndingMessage, EndsTheRun) {
  RouteHttpServer server;
  CUpdateBrowserThread controller(::GetModuleHandleW(nullptr), SW_SHOWDEFAULT);
  ControllerServices services = QuietServices(server.BaseUrl());
  services.bootstrap_options.retry_wait_ms = 20000;  // keep the worker's message away
  controller.SetServices(std::move(services));
  ASSERT_TRUE(controller.CreateControllerWindow());
  DropPendingMessages(controller.hwnd());
  const UINT message = GetParam();
  const WPARAM wparam =
      message == WM_ENGINE_READY ? reinterpret_cast<WPARAM>(_wcsdup(L"C:\\engine\\xldl.dll"))
      : message == WM_TIMER      ? POLL_TIMER
                                 : 0;
  load_failures = 0;
  ASSERT_TRUE(::PostMessageW(controller.hwnd(), message, wparam, 0));
  EXPECT_EQ(RunWithDeadline(controller), 0);
  EXPECT_EQ(controller.hwnd(), nullptr);
  EXPECT_EQ(load_failures, message == WM_ENGINE_READY ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Messages, EndingMessage,
                         ::testing::Values(WM_ENGINE_READY, WM_DOWNLOAD_FAILED,
                                           WM_DOWNLOAD_COMPLETE, WM_TIMER));

TEST(CUpdateBrowserThread, ForeignTimersAreIgnored) {
  RouteHttpServer server;
  CUpdateBrowserThread controller(::GetModuleHandleW(nullptr), SW_SHOWDEFAULT);
  ControllerServices services = QuietServices(server.BaseUrl());
  services.bootstrap_options.retry_wait_ms = 20000;
  controller.SetServices(std::move(services));
  ASSERT_TRUE(controller.CreateControllerWindow());
  DropPendingMessages(controller.hwnd());
  ::SendMessageW(controller.hwnd(), WM_TIMER, 0x1001, 0);
  EXPECT_NE(controller.hwnd(), nullptr);
}

// A whole run against a loopback service: the configuration names an engine
// folder that already holds the engine, so only the package is downloaded.
class ControllerRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.listening());
    ASSERT_TRUE(::CreateDirectoryW(EngineFolder().c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(DownloadFolder().c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(Target().c_str(), nullptr));
    UseEngine(testing::ReferenceEnginePath());
    const std::wstring engine = EngineFolder();
    server_.SetRoute("/xl/cfg.xml",
                     HttpRoute{200, "text/xml; charset=utf-8",
                               "<config><storage save_base=\"" +
                                   std::string(engine.begin(), engine.end()) +
                                   "\" downurl=\"" + server_.BaseUrl() +
                                   "/xl/engine.zip\"/></config>"});
    const std::optional<std::string> package =
        test_support::ReadWholeFile(testing::ApplyPackagePath());
    ASSERT_TRUE(package.has_value());
    package_ = *package;
    server_.SetRoute("/update/velko_2.rar", HttpRoute{200, "application/octet-stream", *package});
  }

  void UseEngine(const std::wstring& dll) {
    ASSERT_TRUE(::CopyFileW(dll.c_str(), (EngineFolder() + L"\\xldl.dll").c_str(), FALSE));
  }

  int Run(ControllerServices services, const std::string& package_path,
          const PackageIntegrity& integrity = {}) {
    services.download_folder = DownloadFolder();
    services.target_folder = Target();
    controller_.SetServices(std::move(services));
    auto info = std::make_unique<UpdateInfo>();
    info->package_url = server_.BaseUrl() + package_path;
    info->integrity = integrity;
    controller_.SetUpdateInfo(std::move(info));
    if (!controller_.CreateControllerWindow()) return -1;
    return RunWithDeadline(controller_);
  }

  std::wstring EngineFolder() const { return scratch_.Child(L"engine"); }
  std::wstring DownloadFolder() const { return scratch_.Child(L"commdl"); }
  std::wstring Target() const { return scratch_.Child(L"VelkoBrowser"); }

  RouteHttpServer server_;
  TempFolder scratch_;
  std::string package_;
  CUpdateBrowserThread controller_{::GetModuleHandleW(nullptr), SW_SHOWDEFAULT};
};

TEST_F(ControllerRun, DownloadsThePackageAndAppliesItInPlaceWhenNoCopyStarts) {
  EXPECT_EQ(Run(QuietServices(server_.BaseUrl()), "/update/velko_2.rar"), 0);
  EXPECT_EQ(controller_.apply_outcome(), std::optional(ApplyOutcome::kAppliedInPlace));
  EXPECT_EQ(server_.CountRequests("/xl/engine.zip"), 0);
  EXPECT_EQ(server_.CountRequests("/update/velko_2.rar"), 1);
  ASSERT_FALSE(controller_.package_path().empty());
  EXPECT_EQ(controller_.package_path().rfind(DownloadFolder() + L"\\", 0), 0u);
  EXPECT_TRUE(Exists(controller_.package_path())) << "the package stays in the download folder";
  // Every file of the package, not just one of them.
  EXPECT_EQ(test_support::ReadWholeFile(Target() + L"\\data\\nested\\file.txt"),
            std::optional<std::string>("nested content\n"));
  EXPECT_EQ(test_support::ReadWholeFile(Target() + L"\\readme.txt"), std::optional<std::string>("version 2\n"));
  EXPECT_TRUE(Exists(Target() + L"\\updater.exe"));
  EXPECT_EQ(controller_.update_info()->engine_task, nullptr);
  ASSERT_NE(controller_.task_params(), nullptr);
  EXPECT_EQ(controller_.task_params()->start_flag, 1);
}

TEST_F(ControllerRun, HandsThePackageToTheCopyAndForgetsItsPath) {
  ControllerServices services = QuietServices(server_.BaseUrl());
  std::wstring handed_over;
  services.apply_steps.start_self_copy = [&handed_over](const std::wstring& package) {
    handed_over = package;
    return true;
  };
  EXPECT_EQ(Run(std::move(services), "/update/velko_2.rar"), 0);
  EXPECT_EQ(controller_.apply_outcome(), std::optional(ApplyOutcome::kCopyStarted));
  EXPECT_TRUE(Exists(handed_over));
  EXPECT_TRUE(controller_.package_path().empty());
  EXPECT_FALSE(Exists(Target() + L"\\readme.txt"));
}

TEST_F(ControllerRun, RunningBrowserPostponesAndLeavesThePackage) {
  ControllerServices services = QuietServices(server_.BaseUrl());
  services.apply_steps.is_browser_running = [](const std::wstring&) { return true; };
  EXPECT_EQ(Run(std::move(services), "/update/velko_2.rar"), 0);
  EXPECT_EQ(controller_.apply_outcome(), std::optional(ApplyOutcome::kBrowserRunning));
  EXPECT_TRUE(Exists(controller_.package_path()));
  EXPECT_FALSE(Exists(Target() + L"\\readme.txt"));
}

// The answer's digest and size are checked before anything is applied: a
// mismatch is a failed attempt and the bad download goes.
TEST_F(ControllerRun, PackageWithTheWrongDigestIsNotApplied) {
  PackageIntegrity wrong;
  wrong.sha256 = BufferSha256("another package", 15);
  EXPECT_EQ(Run(QuietServices(server_.BaseUrl()), "/update/velko_2.rar", wrong), 0);
  EXPECT_TRUE(controller_.package_rejected());
  EXPECT_EQ(controller_.apply_outcome(), std::nullopt);
  EXPECT_TRUE(std::filesystem::is_empty(Target()));
  EXPECT_FALSE(Exists(controller_.package_path()));
}

TEST_F(ControllerRun, PackageWithTheWrongSizeIsNotApplied) {
  PackageIntegrity wrong;
  wrong.size = package_.size() + 1;
  EXPECT_EQ(Run(QuietServices(server_.BaseUrl()), "/update/velko_2.rar", wrong), 0);
  EXPECT_TRUE(controller_.package_rejected());
  EXPECT_TRUE(std::filesystem::is_empty(Target()));
}

TEST_F(ControllerRun, PackageWithItsDigestAndSizeIsApplied) {
  PackageIntegrity right;
  right.sha256 = BufferSha256(package_.data(), package_.size());
  right.size = package_.size();
  EXPECT_EQ(Run(QuietServices(server_.BaseUrl()), "/update/velko_2.rar", right), 0);
  EXPECT_FALSE(controller_.package_rejected());
  EXPECT_EQ(controller_.apply_outcome(), std::optional(ApplyOutcome::kAppliedInPlace));
}

// A package that never finishes downloading ends the run at the deadline
// instead of keeping it (and the engine) alive.
TEST_F(ControllerRun, DownloadThatNeverEndsFailsAtTheDeadline) {
  server_.SetRoute("/update/stalled.rar",
                   HttpRoute{200, "application/octet-stream", std::string(100000, 'x'), true});
  ControllerServices services = QuietServices(server_.BaseUrl());
  services.poll_deadline_ms = 1500;
  EXPECT_EQ(Run(std::move(services), "/update/stalled.rar"), 0);
  EXPECT_EQ(controller_.apply_outcome(), std::nullopt);
  EXPECT_TRUE(controller_.package_path().empty());
  EXPECT_EQ(controller_.update_info()->engine_task, nullptr);
}

// A failed download ends the run (rather than idling until logoff) and
// applies nothing.
TEST_F(ControllerRun, FailedDownloadEndsTheRun) {
  EXPECT_EQ(Run(QuietServices(server_.BaseUrl()), "/update/missing.rar"), 0);
  EXPECT_EQ(controller_.apply_outcome(), std::nullopt);
  EXPECT_TRUE(controller_.package_path().empty());
  EXPECT_TRUE(std::filesystem::is_empty(Target()));
}

// An engine without entry points can create no task: the run ends instead of
// polling a task that does not exist.
TEST_F(ControllerRun, EngineWithoutExportsEndsTheRunWithoutATask) {
  UseEngine(testing::NoExportsEnginePath());
  EXPECT_EQ(Run(QuietServices(server_.BaseUrl()), "/update/velko_2.rar"), 0);
  ASSERT_NE(controller_.down_wrapper(), nullptr);
  EXPECT_EQ(controller_.down_wrapper()->ResolvedEntryPointCount(), 0);
  EXPECT_EQ(server_.CountRequests("/update/velko_2.rar"), 0);
  EXPECT_EQ(controller_.apply_outcome(), std::nullopt);
}

}  // namespace
}  // namespace velko::updater
