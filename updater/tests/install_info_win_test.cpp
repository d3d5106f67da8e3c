#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <regex>

#include "install_info.h"

namespace velko::updater {
namespace {

// A scratch key under HKEY_CURRENT_USER holding one "InstallPath" value.
class InstallPathValue : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    ::RegCloseKey(key_);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
  }
  void Set(DWORD type, const void* data, DWORD bytes) {
    ASSERT_EQ(::RegSetValueExW(key_, L"InstallPath", 0, type, static_cast<const BYTE*>(data), bytes),
              ERROR_SUCCESS);
  }
  void SetText(DWORD type, const std::wstring& text) {
    Set(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }

  static constexpr wchar_t kKey[] = L"Software\\VelkoUpdaterTest";
  HKEY key_ = nullptr;
};

TEST_F(InstallPathValue, StringsAreTakenAsTheyAre) {
  SetText(REG_SZ, L"D:\\Apps\\Velko");
  EXPECT_EQ(ReadInstallPathValue(key_), std::wstring(L"D:\\Apps\\Velko"));
  SetText(REG_EXPAND_SZ, L"%ProgramFiles%\\VelkoBrowser");
  EXPECT_EQ(ReadInstallPathValue(key_), std::wstring(L"%ProgramFiles%\\VelkoBrowser"));
  SetText(REG_SZ, L"C:\\\x5C9A\x77F3");  // non-ASCII folder names survive
  EXPECT_EQ(ReadInstallPathValue(key_), std::wstring(L"C:\\\x5C9A\x77F3"));
  Set(REG_SZ, L"", 0);
  EXPECT_EQ(ReadInstallPathValue(key_), std::wstring());
}

TEST_F(InstallPathValue, MalformedValuesAreRejected) {
  EXPECT_EQ(ReadInstallPathValue(key_), std::nullopt);  // absent
  const DWORD number = 5;
  Set(REG_DWORD, &number, sizeof(number));
  EXPECT_EQ(ReadInstallPathValue(key_), std::nullopt);
  SetText(REG_MULTI_SZ, L"C:\\a");
  EXPECT_EQ(ReadInstallPathValue(key_), std::nullopt);
  // Followed in memory by a non-NUL, so the registry cannot add the missing NUL.
  const std::wstring unterminated = L"C:\\no-terminatorX";
  Set(REG_SZ, unterminated.c_str(), static_cast<DWORD>((unterminated.size() - 1) * sizeof(wchar_t)));
  EXPECT_EQ(ReadInstallPathValue(key_), std::nullopt);
  Set(REG_SZ, "C:\\odd", 7);
  EXPECT_EQ(ReadInstallPathValue(key_), std::nullopt);
  SetText(REG_SZ, std::wstring(1000, L'x'));  // 1001 units with the NUL: too long
  EXPECT_EQ(ReadInstallPathValue(key_), std::nullopt);
  SetText(REG_SZ, std::wstring(999, L'x'));
  EXPECT_EQ(ReadInstallPathValue(key_)->size(), 999u);
}

std::wstring BesideTestProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

TEST(ReadBrowserVersion, ReadsFixedFileVersion) {
  EXPECT_EQ(ReadBrowserVersion(BesideTestProgram(L"updater_test_browser.exe")), L"51.0.2704.103");
}

TEST(ReadBrowserVersion, NoVersionResourceGivesEmptyText) {
  const std::wstring plain = BesideTestProgram(L"no_version.exe");
  std::ofstream(plain.c_str(), std::ios::binary) << "MZ not really a program";
  EXPECT_EQ(ReadBrowserVersion(plain), L"");
  EXPECT_EQ(ReadBrowserVersion(BesideTestProgram(L"missing.exe")), L"");
  ::DeleteFileW(plain.c_str());
}

TEST(ReadSystemVersionText, FourNumbersEndingInThePlatform) {
  EXPECT_TRUE(std::regex_match(ReadSystemVersionText(), std::regex(R"(\d+\.\d+\.\d+\.2)")))
      << ReadSystemVersionText();
}

TEST(FileExists, FilesOnly) {
  EXPECT_TRUE(FileExists(BesideTestProgram(L"updater_test_browser.exe")));
  EXPECT_FALSE(FileExists(BesideTestProgram(L"")));  // the folder
  EXPECT_FALSE(FileExists(BesideTestProgram(L"missing.exe")));
}

}  // namespace
}  // namespace velko::updater
