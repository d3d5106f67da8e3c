#include <gtest/gtest.h>

#include "velko/file_utils.h"
#include "win_test_support.h"

namespace velko {
namespace {

constexpr std::int64_t kHourSeconds = 3600;

TEST(CleanStaleFiles, RemovesOnlyFilesOlderThan48Hours) {
  test_support::TempFolder folder;
  const std::wstring old_file = folder.Child(L"old.rar");
  const std::wstring recent_file = folder.Child(L"recent.rar");
  const std::wstring future_file = folder.Child(L"future.rar");
  const std::wstring subfolder = folder.Child(L"sub");
  const std::wstring nested_old = subfolder + L"\\nested_old.rar";
  for (const auto& path : {old_file, recent_file, future_file}) ASSERT_TRUE(test_support::WriteText(path, "x"));
  ASSERT_TRUE(CreateDirectoryW(subfolder.c_str(), nullptr));
  ASSERT_TRUE(test_support::WriteText(nested_old, "x"));

  ASSERT_TRUE(test_support::SetWriteTimeFromNow(old_file, -49 * kHourSeconds));
  ASSERT_TRUE(test_support::SetWriteTimeFromNow(recent_file, -47 * kHourSeconds));
  ASSERT_TRUE(test_support::SetWriteTimeFromNow(future_file, 24 * kHourSeconds));
  ASSERT_TRUE(test_support::SetWriteTimeFromNow(nested_old, -100 * kHourSeconds));
  ASSERT_TRUE(test_support::SetWriteTimeFromNow(subfolder, -100 * kHourSeconds));

  EXPECT_EQ(CleanStaleFiles(folder.path()), 1);
  EXPECT_FALSE(test_support::Exists(old_file));
  EXPECT_TRUE(test_support::Exists(recent_file));
  EXPECT_TRUE(test_support::Exists(future_file));
  EXPECT_TRUE(test_support::IsFolder(subfolder));  // folders are never touched,
  EXPECT_TRUE(test_support::Exists(nested_old));   // nor their contents
}

TEST(CleanStaleFiles, FolderWithTrailingSeparatorAndManyFiles) {
  test_support::TempFolder folder;
  constexpr int kFiles = 40;
  for (int i = 0; i < kFiles; ++i) {
    const std::wstring path = folder.Child(L"f" + std::to_wstring(i) + L".bin");
    ASSERT_TRUE(test_support::WriteText(path, "x"));
    ASSERT_TRUE(test_support::SetWriteTimeFromNow(path, -72 * kHourSeconds));
  }
  EXPECT_EQ(CleanStaleFiles(folder.path() + L"\\"), kFiles);
}

TEST(CleanStaleFiles, FileInUseStaysAndMissingFolderIsNothing) {
  test_support::TempFolder folder;
  const std::wstring busy = folder.Child(L"busy.rar");
  ASSERT_TRUE(test_support::WriteText(busy, "x"));
  ASSERT_TRUE(test_support::SetWriteTimeFromNow(busy, -49 * kHourSeconds));
  HANDLE open = CreateFileW(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  EXPECT_EQ(CleanStaleFiles(folder.path()), 0);
  EXPECT_TRUE(test_support::Exists(busy));
  CloseHandle(open);

  EXPECT_EQ(CleanStaleFiles(folder.Child(L"does_not_exist")), 0);
}

}  // namespace
}  // namespace velko
