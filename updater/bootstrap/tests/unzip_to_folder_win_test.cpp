#include "unzip_to_folder.h"

#include <gtest/gtest.h>

#include "read_file_win.h"
#include "test_zip_builder.h"
#include "win_test_support.h"

namespace velko::bootstrap {
namespace {

using testing::BuildZip;
using test_support::Exists;
using test_support::TempFolder;

ZipExtractResult Unzip(const std::string& zip, const std::wstring& folder) {
  return UnzipToFolder(zip.data(), zip.size(), folder);
}

TEST(UnzipToFolderTest, CreatesMissingFoldersAndReplacesExistingFiles) {
  TempFolder temp;
  const std::wstring base = temp.Child(L"engine");  // does not exist yet
  ASSERT_TRUE(Exists(temp.path()));
  const std::string zip = BuildZip({{"xldl.dll", "new engine", true}, {"sub/dir/file.dat", "data"}});
  ASSERT_TRUE(Unzip(zip, base).ok());
  EXPECT_EQ(test_support::ReadWholeFile(base + L"\\sub\\dir\\file.dat"), "data");

  ASSERT_TRUE(test_support::WriteText(base + L"\\xldl.dll", "an older and longer engine"));
  ASSERT_TRUE(Unzip(zip, base).ok());
  EXPECT_EQ(test_support::ReadWholeFile(base + L"\\xldl.dll"), "new engine");
}

TEST(UnzipToFolderTest, HostileEntriesWriteNothingOutsideTheFolder) {
  TempFolder temp;
  const std::wstring base = temp.Child(L"engine");
  const std::string zip = BuildZip({
      {"../outside.txt", "x"},
      {"..\\outside2.txt", "x"},
      {"sub/../../outside3.txt", "x"},
      {"/rooted.txt", "x"},
      {"C:/drive.txt", "x"},
      {"xldl.dll", "engine"},
  });
  const ZipExtractResult result = Unzip(zip, base);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.unsafe_entries_skipped, 5);
  EXPECT_EQ(result.files_written, 1);
  for (const wchar_t* name : {L"outside.txt", L"outside2.txt", L"outside3.txt"}) {
    EXPECT_FALSE(Exists(temp.Child(name))) << name;
  }
  EXPECT_FALSE(Exists(L"C:\\rooted.txt"));
  EXPECT_FALSE(Exists(L"C:\\drive.txt"));
  EXPECT_TRUE(Exists(base + L"\\xldl.dll"));
}

TEST(UnzipToFolderTest, FileThatCannotBeCreatedFailsTheExtraction) {
  TempFolder temp;
  // A folder stands where the file should go.
  ASSERT_TRUE(::CreateDirectoryW(temp.Child(L"xldl.dll").c_str(), nullptr));
  const std::string zip = BuildZip({{"xldl.dll", "engine"}});
  EXPECT_EQ(Unzip(zip, temp.path()).status, ZipExtractStatus::kCannotCreate);
}

// A subfolder planted as a junction to somewhere else is not written through.
TEST(UnzipToFolderTest, JunctionOnTheWayIsNotFollowed) {
  TempFolder temp;
  const std::wstring base = temp.Child(L"engine");
  const std::wstring elsewhere = temp.Child(L"elsewhere");
  ASSERT_TRUE(::CreateDirectoryW(base.c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryW(elsewhere.c_str(), nullptr));
  if (!test_support::MakeJunction(base + L"\\sub", elsewhere)) {
    GTEST_SKIP() << "this file system makes no junctions";
  }
  const std::string zip = BuildZip({{"sub/victim.dll", "planted through the link"}});
  EXPECT_EQ(Unzip(zip, base).status, ZipExtractStatus::kCannotCreate);
  EXPECT_FALSE(Exists(elsewhere + L"\\victim.dll"));
}

}  // namespace
}  // namespace velko::bootstrap
