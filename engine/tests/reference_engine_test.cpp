// The reference engine through its exports, downloading from a loopback server.
#include <gtest/gtest.h>

#include "engine_failure_codes.h"
#include "engine_polling.h"
#include "engine_test_paths.h"
#include "read_file_win.h"
#include "route_http_server_win.h"
#include "velko/engine/down_wrapper.h"
#include "velko/engine/engine_task_records.h"
#include "velko/wide_text.h"
#include "win_test_support.h"

namespace velko::xldl {
namespace {

using engine::DownWrapper;
using engine::EngineTaskParams;
using test_support::HttpRoute;
using test_support::RouteHttpServer;
using test_support::TempFolder;

class ReferenceEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.listening());
    engine_.XL_Init();
  }

  std::unique_ptr<EngineTaskParams> Params(const std::string& path, const std::wstring& name) {
    auto params = engine::MakeEngineTaskParams();
    const std::wstring url = ToWideUrl(server_.BaseUrl() + path);
    EXPECT_EQ(engine::FillDownloadTaskParams(*params, ToU16(url), ToU16(folder_.path())),
              engine::FillTaskResult::kFilled);
    if (!name.empty()) engine::CopyTaskText(params->save_file_name, ToU16(name));
    return params;
  }

  static std::wstring ToWideUrl(const std::string& url) { return std::wstring(url.begin(), url.end()); }

  RouteHttpServer server_;
  TempFolder folder_;
  DownWrapper engine_{testing::ReferenceEnginePath()};
};

TEST_F(ReferenceEngineTest, DownloadsIntoTheSaveFolderAndReportsTheName) {
  std::string body(300000, '\0');
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i % 253);
  server_.SetRoute("/pkg/velko_2.rar", HttpRoute{200, "application/octet-stream", body});
  auto params = Params("/pkg/velko_2.rar", L"");  // save name = the whole URL

  void* task = engine_.XL_CreateTask(params.get());
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(engine_.XL_StartTask(task), 1);
  const engine::EngineTaskInfo info = testing::WaitForTaskEnd(engine_, task);
  ASSERT_EQ(std::int32_t{info.status}, engine::kTaskComplete);
  EXPECT_EQ(engine::InterpretTaskInfo(info).file_name, u"velko_2.rar");
  EXPECT_EQ(std::int64_t{info.downloaded_bytes}, static_cast<std::int64_t>(body.size()));
  EXPECT_EQ(test_support::ReadWholeFile(folder_.Child(L"velko_2.rar")), body);
  EXPECT_FALSE(test_support::Exists(folder_.Child(L"velko_2.rar.part")));

  EXPECT_EQ(engine_.XL_DeleteTask(task), 1);
  EXPECT_EQ(engine_.XL_DeleteTask(task), 0);  // a deleted handle is unknown
  engine::EngineTaskInfo after;
  EXPECT_EQ(engine_.XL_QueryTaskInfoEx(task, &after), 0);
}

TEST_F(ReferenceEngineTest, HttpErrorFailsWithTheStatusAndLeavesNoFile) {
  auto params = Params("/missing.rar", L"missing.rar");
  void* task = engine_.XL_CreateTask(params.get());
  ASSERT_NE(task, nullptr);
  engine_.XL_StartTask(task);
  const engine::EngineTaskInfo info = testing::WaitForTaskEnd(engine_, task);
  EXPECT_EQ(std::int32_t{info.status}, engine::kTaskFailed);
  EXPECT_EQ(std::int32_t{info.failure_code}, 404);
  EXPECT_FALSE(test_support::Exists(folder_.Child(L"missing.rar")));
  EXPECT_FALSE(test_support::Exists(folder_.Child(L"missing.rar.part")));
  engine_.XL_DeleteTask(task);
}

TEST_F(ReferenceEngineTest, UnreachableServerFailsWithATransferCode) {
  auto params = engine::MakeEngineTaskParams();
  // Port 1 on the loopback interface: nothing listens there.
  engine::FillDownloadTaskParams(*params, u"http://127.0.0.1:1/x.rar", ToU16(folder_.path()));
  void* task = engine_.XL_CreateTask(params.get());
  ASSERT_NE(task, nullptr);
  engine_.XL_StartTask(task);
  const engine::EngineTaskInfo info = testing::WaitForTaskEnd(engine_, task);
  EXPECT_EQ(std::int32_t{info.status}, engine::kTaskFailed);
  EXPECT_GT(std::int32_t{info.failure_code}, kTransferErrorBase);
  engine_.XL_DeleteTask(task);
}

TEST_F(ReferenceEngineTest, UnstartedTaskIsInProgressAndBadArgumentsAreRefused) {
  auto params = Params("/a.rar", L"a.rar");
  void* task = engine_.XL_CreateTask(params.get());
  engine::EngineTaskInfo info;
  engine::PrepareEngineTaskInfo(info);
  ASSERT_EQ(engine_.XL_QueryTaskInfoEx(task, &info), 1);
  EXPECT_EQ(engine::InterpretTaskInfo(info).kind, engine::TaskPollResult::Kind::kInProgress);
  EXPECT_EQ(engine_.XL_DeleteTask(task), 1);

  EXPECT_EQ(engine_.XL_CreateTask(nullptr), nullptr);
  auto empty = engine::MakeEngineTaskParams();  // no URL, no folder
  EXPECT_EQ(engine_.XL_CreateTask(empty.get()), nullptr);
  EXPECT_EQ(engine_.XL_StartTask(reinterpret_cast<void*>(0x7)), 0);
  EXPECT_EQ(engine_.XL_QueryTaskInfoEx(reinterpret_cast<void*>(0x7), &info), 0);
}

TEST_F(ReferenceEngineTest, DelTempFileRemovesTheTargetsPartialFile) {
  auto params = Params("/a.rar", L"a.rar");
  ASSERT_TRUE(test_support::WriteText(folder_.Child(L"a.rar.part"), "half"));
  ASSERT_TRUE(test_support::WriteText(folder_.Child(L"a.rar"), "earlier"));
  EXPECT_EQ(engine_.XL_DelTempFile(params.get()), 1);
  EXPECT_FALSE(test_support::Exists(folder_.Child(L"a.rar.part")));
  EXPECT_TRUE(test_support::Exists(folder_.Child(L"a.rar")));
  EXPECT_EQ(engine_.XL_DelTempFile(params.get()), 0);  // nothing left to delete
}

TEST_F(ReferenceEngineTest, TheOtherEntryPointsAreHarmless) {
  engine_.XL_SetSpeedLimit(100);
  engine_.XL_SetUploadSpeedLimit(1, 2);
  engine_.XL_SetUserAgent(L"test");
  EXPECT_EQ(engine_.XL_SetProxy(nullptr), 0);
  std::int64_t size = -1;
  EXPECT_EQ(engine_.XL_GetFileSizeWithUrl(L"http://h/x", &size), 0);
  EXPECT_EQ(size, 0);
  wchar_t out[8] = L"xxxxxxx";
  EXPECT_EQ(engine_.XL_ParseThunderPrivateUrl(L"x", out, 8), 0);
  EXPECT_EQ(out[0], L'\0');
  EXPECT_EQ(engine_.XL_QueryTaskInfo(nullptr, nullptr), 0);
  EXPECT_EQ(engine_.XL_SetAdditionInfo(nullptr, nullptr, 0), 0);
  EXPECT_EQ(engine_.XL_SetFileIdAndSize(nullptr, "id", 1), 0);
  EXPECT_EQ(engine_.XL_StopTask(nullptr), 0);
  EXPECT_EQ(engine_.XL_UnInit(), 1);
}

}  // namespace
}  // namespace velko::xldl
