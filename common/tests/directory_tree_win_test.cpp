#include <gtest/gtest.h>

#include "velko/file_utils.h"
#include "win_test_support.h"

namespace velko {
namespace {

TEST(CreateDirectoryTree, CreatesAllMissingParents) {
  test_support::TempFolder root;
  const std::wstring nested = root.Child(L"a\\b/c\\\u6D4F\u89C8\u5668");
  EXPECT_TRUE(CreateDirectoryTree(nested));
  EXPECT_TRUE(test_support::IsFolder(root.Child(L"a\\b\\c\\\u6D4F\u89C8\u5668")));

  EXPECT_TRUE(CreateDirectoryTree(nested));  // existing: still fine
  EXPECT_TRUE(CreateDirectoryTree(root.Child(L"x\\y\\")));
  EXPECT_TRUE(test_support::IsFolder(root.Child(L"x\\y")));
}

TEST(CreateDirectoryTree, ReportsPathsThatCannotBeFolders) {
  test_support::TempFolder root;
  const std::wstring file = root.Child(L"file.txt");
  ASSERT_TRUE(test_support::WriteText(file, "x"));
  EXPECT_FALSE(CreateDirectoryTree(file));              // a file, not a folder
  EXPECT_FALSE(CreateDirectoryTree(file + L"\\sub"));   // below a file
  EXPECT_FALSE(CreateDirectoryTree(L""));
}

}  // namespace
}  // namespace velko
