#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "velko/file_utils.h"
#include "win_test_support.h"

namespace velko {
namespace {

std::wstring LocalAppData() {
  wchar_t buffer[MAX_PATH] = {};
  EXPECT_TRUE(SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_LOCAL_APPDATA, TRUE));
  return buffer;
}

TEST(ExpandFolderTokens, ReplacesTheTokenByTheExistingFolder) {
  const std::wstring folder = LocalAppData();
  const std::wstring expanded = ExpandFolderTokens("CSIDL_LOCAL_APPDATA\\commdl");
  EXPECT_EQ(expanded, folder + L"\\commdl");
  ASSERT_GE(expanded.size(), 7u);
  EXPECT_EQ(expanded.substr(expanded.size() - 7), L"\\commdl");
  EXPECT_NE(expanded.substr(0, 2), L"\\\\");
  EXPECT_TRUE(test_support::IsFolder(folder));

  const std::optional<std::wstring> tried = TryExpandFolderTokens("CSIDL_LOCAL_APPDATA\\commdl");
  ASSERT_TRUE(tried.has_value());
  EXPECT_EQ(*tried, expanded);
}

TEST(ExpandFolderTokens, EveryOccurrenceIsReplaced) {
  const std::wstring folder = LocalAppData();
  EXPECT_EQ(ExpandFolderTokens("CSIDL_LOCAL_APPDATA;CSIDL_LOCAL_APPDATA\\x"),
            folder + L";" + folder + L"\\x");
}

TEST(ExpandFolderTokens, TextWithoutTokenIsOnlyConverted) {
  EXPECT_EQ(ExpandFolderTokens("C:\\data\\commdl"), L"C:\\data\\commdl");
  EXPECT_EQ(ExpandFolderTokens("csidl_local_appdata\\x"), L"csidl_local_appdata\\x");  // case-sensitive
  EXPECT_EQ(ExpandFolderTokens("CSIDL_LOCAL"), L"CSIDL_LOCAL");
  EXPECT_EQ(ExpandFolderTokens(""), L"");
  EXPECT_EQ(ExpandFolderTokens(static_cast<const char*>(nullptr)), L"");
}

}  // namespace
}  // namespace velko
