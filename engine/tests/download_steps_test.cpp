// The controller's start and poll steps with the reference engine and with a
// library that exports nothing.
#include "velko/engine/engine_download_steps.h"

#include <gtest/gtest.h>

#include "engine_test_paths.h"
#include "read_file_win.h"
#include "route_http_server_win.h"
#include "win_test_support.h"

namespace velko::engine {
namespace {

using test_support::HttpRoute;
using test_support::RouteHttpServer;
using test_support::TempFolder;

constexpr DWORD kDeadlineMs = 20000;

// Polls every 50 ms, as the controller's timer does, until the step reports
// anything but kPending.
PollStepResult PollUntilSettled(DownWrapper& wrapper, EngineTaskHandle& task,
                                const EngineTaskParams& params, int* polls) {
  const ULONGLONG deadline = ::GetTickCount64() + kDeadlineMs;
  PollStepResult result;
  *polls = 0;
  while (::GetTickCount64() < deadline) {
    ++*polls;
    result = PollDownloadTask(wrapper, task, params);
    if (result.kind != PollStepResult::Kind::kPending) break;
    ::Sleep(50);
  }
  return result;
}

class DownloadStepsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.listening());
    wrapper_ = LoadDownloadEngine(xldl::testing::ReferenceEnginePath(), nullptr);
    ASSERT_NE(wrapper_, nullptr);
  }

  std::string Url(const std::string& path) const { return server_.BaseUrl() + path; }

  RouteHttpServer server_;
  TempFolder folder_;
  std::unique_ptr<DownWrapper> wrapper_;
  std::unique_ptr<EngineTaskParams> params_;
  EngineTaskHandle task_ = nullptr;
};

TEST_F(DownloadStepsTest, CompletedDownloadGivesThePackagePathAndClearsTheTask) {
  server_.SetRoute("/update/velko_2.rar", HttpRoute{200, "application/octet-stream", "RAR body"});
  ASSERT_EQ(StartDownloadTask(wrapper_.get(), Url("/update/velko_2.rar?v=2"), folder_.path(),
                              params_, task_),
            StartDownloadResult::kStarted);
  ASSERT_NE(task_, nullptr);
  EXPECT_EQ(params_->start_flag, 1);

  int polls = 0;
  const PollStepResult result = PollUntilSettled(*wrapper_, task_, *params_, &polls);
  ASSERT_EQ(result.kind, PollStepResult::Kind::kComplete);
  EXPECT_EQ(result.package_path, folder_.path() + L"\\velko_2.rar");
  EXPECT_EQ(test_support::ReadWholeFile(result.package_path), "RAR body");
  EXPECT_EQ(task_, nullptr);
  // Once complete there is no task left to poll.
  EXPECT_EQ(PollDownloadTask(*wrapper_, task_, *params_).kind, PollStepResult::Kind::kNoTask);
}

TEST_F(DownloadStepsTest, FailedDownloadReportsTheEnginesCodeAndKeepsTheTask) {
  ASSERT_EQ(StartDownloadTask(wrapper_.get(), Url("/absent.rar"), folder_.path(), params_, task_),
            StartDownloadResult::kStarted);
  int polls = 0;
  const PollStepResult result = PollUntilSettled(*wrapper_, task_, *params_, &polls);
  EXPECT_EQ(result.kind, PollStepResult::Kind::kFailed);
  EXPECT_EQ(result.failure_code, 404);
  EXPECT_TRUE(result.package_path.empty());
  EXPECT_NE(task_, nullptr);  // a failed task is left to the engine
}

TEST_F(DownloadStepsTest, StartRemovesStaleFilesOfTheSaveFolder) {
  server_.SetRoute("/p.rar", HttpRoute{200, "application/octet-stream", "p"});
  const std::wstring stale = folder_.Child(L"old_package.rar");
  const std::wstring recent = folder_.Child(L"recent_package.rar");
  ASSERT_TRUE(test_support::WriteText(stale, "old"));
  ASSERT_TRUE(test_support::WriteText(recent, "new"));
  ASSERT_TRUE(test_support::SetWriteTimeFromNow(stale, -49 * 3600));
  ASSERT_TRUE(test_support::SetWriteTimeFromNow(recent, -47 * 3600));
  ASSERT_EQ(StartDownloadTask(wrapper_.get(), Url("/p.rar"), folder_.path(), params_, task_),
            StartDownloadResult::kStarted);
  EXPECT_FALSE(test_support::Exists(stale));
  EXPECT_TRUE(test_support::Exists(recent));
  int polls = 0;
  EXPECT_EQ(PollUntilSettled(*wrapper_, task_, *params_, &polls).kind,
            PollStepResult::Kind::kComplete);
}

TEST_F(DownloadStepsTest, MissingPrerequisitesStartNothing) {
  EXPECT_EQ(StartDownloadTask(nullptr, Url("/p.rar"), folder_.path(), params_, task_),
            StartDownloadResult::kNothingToStart);
  EXPECT_EQ(StartDownloadTask(wrapper_.get(), "", folder_.path(), params_, task_),
            StartDownloadResult::kNothingToStart);
  EngineTaskHandle existing = reinterpret_cast<EngineTaskHandle>(0x1234);
  EXPECT_EQ(StartDownloadTask(wrapper_.get(), Url("/p.rar"), folder_.path(), params_, existing),
            StartDownloadResult::kNothingToStart);
  EXPECT_EQ(params_, nullptr);
  EXPECT_EQ(StartDownloadTask(wrapper_.get(), std::string(2100, 'u'), folder_.path(), params_, task_),
            StartDownloadResult::kUrlTooLong);
  EXPECT_EQ(task_, nullptr);
}

TEST(DownloadStepsNoExportsTest, EngineWithoutEntryPointsCreatesNoTaskAndPollEndsTheRun) {
  TempFolder folder;
  auto wrapper = LoadDownloadEngine(xldl::testing::NoExportsLibraryPath(), nullptr);
  ASSERT_NE(wrapper, nullptr);
  std::unique_ptr<EngineTaskParams> params;
  EngineTaskHandle task = nullptr;
  EXPECT_EQ(StartDownloadTask(wrapper.get(), "http://127.0.0.1:1/p.rar", folder.path(), params, task),
            StartDownloadResult::kNoTask);
  EXPECT_EQ(task, nullptr);
  ASSERT_NE(params, nullptr);
  // Polling a null task would go on forever: the step says so instead.
  EXPECT_EQ(PollDownloadTask(*wrapper, task, *params).kind, PollStepResult::Kind::kNoTask);
}

}  // namespace
}  // namespace velko::engine
