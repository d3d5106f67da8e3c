#include "velko/engine/down_wrapper.h"

#include <gtest/gtest.h>

#include "engine_test_paths.h"
#include "velko/engine/engine_download_steps.h"

namespace velko::engine {
namespace {

using xldl::testing::NoExportsLibraryPath;
using xldl::testing::ReferenceEnginePath;

TEST(DownWrapperTest, ReferenceEngineExportsAllSeventeenNames) {
  DownWrapper wrapper(ReferenceEnginePath());
  EXPECT_NE(wrapper.module(), nullptr);
  EXPECT_EQ(wrapper.ResolvedEntryPointCount(), 17);
  EXPECT_NE(wrapper.XL_CreateTask, nullptr);
  EXPECT_NE(wrapper.XL_QueryTaskInfoEx, nullptr);
  EXPECT_NE(wrapper.XL_SetFileIdAndSize, nullptr);
}

TEST(DownWrapperTest, LibraryWithoutExportsLoadsWithSeventeenNullEntryPoints) {
  DownWrapper wrapper(NoExportsLibraryPath());
  EXPECT_NE(wrapper.module(), nullptr);
  EXPECT_EQ(wrapper.ResolvedEntryPointCount(), 0);
}

TEST(DownWrapperTest, UnloadableLibraryThrowsTheWideText) {
  const std::wstring missing = test_support::ExecutableFolder() + L"\\no_such_engine.dll";
  try {
    DownWrapper wrapper(missing);
    FAIL() << "a missing library must not load";
  } catch (const wchar_t* text) {
    EXPECT_STREQ(text, L"can not load xldl.dll");
  }
}

TEST(DownWrapperTest, DestructionUnloadsTheLibrary) {
  const std::wstring path = NoExportsLibraryPath();
  {
    DownWrapper wrapper(path);
    EXPECT_NE(::GetModuleHandleW(path.c_str()), nullptr);
  }
  EXPECT_EQ(::GetModuleHandleW(path.c_str()), nullptr);
}

int g_failure_reports = 0;
void CountFailureReport() { ++g_failure_reports; }

TEST(LoadDownloadEngineTest, FailureIsReportedOnceAndGivesNoWrapper) {
  g_failure_reports = 0;
  EXPECT_EQ(LoadDownloadEngine(L"C:\\nowhere\\xldl.dll", &CountFailureReport), nullptr);
  EXPECT_EQ(g_failure_reports, 1);

  auto wrapper = LoadDownloadEngine(ReferenceEnginePath(), &CountFailureReport);
  ASSERT_NE(wrapper, nullptr);
  EXPECT_EQ(g_failure_reports, 1);
}

}  // namespace
}  // namespace velko::engine
