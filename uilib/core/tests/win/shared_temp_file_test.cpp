#include "uilib/win/shared_temp_file.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace uilib {
namespace {

TEST(SharedTempFileTest, RecreatedFileIsOverwrittenWithoutDescriptorFailures) {
  std::wstring path = (std::filesystem::temp_directory_path() / L"uilib3_everyone.temp").wstring();
  HANDLE first = win::CreateTempFile(path);
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(first, "old", 3, &written, nullptr);
  CloseHandle(first);

  // The descriptor is built without any of the failure lines. (Wine keeps no
  // DACL on files of a Unix file system, so the ACE itself is not read back.)
  ::testing::internal::CaptureStdout();
  HANDLE again = win::CreateTempFileForEveryone(path);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  ASSERT_NE(again, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size{};
  GetFileSizeEx(again, &size);
  EXPECT_EQ(size.QuadPart, 0);  // always overwritten
  // Readers may open it while it is written; writers may not.
  HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
  CloseHandle(again);
  DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace uilib
