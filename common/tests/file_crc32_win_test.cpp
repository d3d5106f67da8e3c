#include <windows.h>

#include <gtest/gtest.h>

#include "velko/file_utils.h"
#include "win_test_support.h"

namespace velko {
namespace {

TEST(FileCrc32, UnreadablePathsGiveZero) {
  test_support::TempFolder folder;
  EXPECT_EQ(FileCrc32(static_cast<const wchar_t*>(nullptr)), 0u);
  EXPECT_EQ(FileCrc32(L""), 0u);
  EXPECT_EQ(FileCrc32(folder.Child(L"missing.bin")), 0u);
  EXPECT_EQ(FileCrc32(folder.path()), 0u);  // a folder is no file

  const std::wstring locked = folder.Child(L"locked.bin");
  ASSERT_TRUE(test_support::WriteText(locked, "123456789"));
  HANDLE exclusive = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileCrc32(locked), 0u);
  CloseHandle(exclusive);
  EXPECT_EQ(FileCrc32(locked), 0xCBF43926u);
}

TEST(FileCrc32, MatchesBufferCrcAcrossBlockBoundaries) {
  test_support::TempFolder folder;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, kCrcFileBlockBytes - 1, kCrcFileBlockBytes,
                           3 * kCrcFileBlockBytes + 5}) {
    const auto bytes = test_support::PatternBytes(size);
    const std::wstring path = folder.Child(L"data" + std::to_wstring(size) + L".bin");
    ASSERT_TRUE(test_support::WriteBytes(path, bytes));
    EXPECT_EQ(FileCrc32(path), BufferCrc32(bytes.data(), bytes.size())) << "size " << size;
  }
}

TEST(FileCrc32, ReadsFilesOpenedByOthersForReading) {
  test_support::TempFolder folder;
  const std::wstring path = folder.Child(L"shared.bin");
  ASSERT_TRUE(test_support::WriteText(path, "123456789"));
  HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileCrc32(path.c_str()), 0xCBF43926u);
  CloseHandle(reader);
}

}  // namespace
}  // namespace velko
