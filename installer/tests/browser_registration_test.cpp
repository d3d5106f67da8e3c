#include <gtest/gtest.h>

#include "test_support.h"
#include "velko/installer/browser_registration.h"

namespace velko::installer {
namespace {

constexpr wchar_t kScratchKey[] = L"Software\\VelkoInstallerTests\\Registration";

// HKLM and HKCR redirected to scratch keys below HKCU, so the test reads
// back exactly what one run wrote.
class BrowserRegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kScratchKey) + L"\\HKLM").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &roots_.local_machine, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kScratchKey) + L"\\HKCR").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &roots_.classes_root, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(roots_.local_machine);
    RegCloseKey(roots_.classes_root);
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
  }

  struct Value {
    DWORD type = REG_NONE;
    std::wstring text;
    DWORD number = 0;
    bool exists = false;
  };
  Value Read(HKEY root, const std::wstring& key, const wchar_t* name) {
    Value value;
    BYTE data[8192];
    DWORD size = sizeof data;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, data, &size) !=
        ERROR_SUCCESS) {
      return value;
    }
    value.exists = true;
    if (value.type == REG_SZ) {
      value.text.assign(reinterpret_cast<wchar_t*>(data), size / sizeof(wchar_t));
    }
    if (value.type == REG_DWORD) value.number = *reinterpret_cast<DWORD*>(data);
    return value;
  }
  HKEY Root(RegistryRoot root) const {
    return root == RegistryRoot::kLocalMachine ? roots_.local_machine : roots_.classes_root;
  }

  RegistryRoots roots_;
};

TEST_F(BrowserRegistrationTest, EveryRowReadsBackWithItsTypeAndData) {
  const std::wstring dir = L"C:\\Program Files\\VelkoBrowser";
  const std::vector<RegistryEntry> table = BuildRegistrationTable(dir);
  ASSERT_EQ(table.size(), kRegistrationRowCount);
  const RegistrationResult result = WriteRegistrationTable(table, roots_);
  EXPECT_EQ(result.rows_written, 44u);
  EXPECT_EQ(result.rows_failed, 0u);
  for (const RegistryEntry& row : table) {
    const Value value = Read(Root(row.root), row.key, row.value_name ? row.value_name->c_str() : nullptr);
    const std::string where = test::Narrow(row.key + L" : " + row.value_name.value_or(L"(default)"));
    if (const auto* text = std::get_if<std::wstring>(&row.data)) {
      EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << where;
      // Stored with the terminating NUL.
      EXPECT_EQ(value.text, *text + L'\0') << where;
    } else if (const auto* number = std::get_if<std::uint32_t>(&row.data)) {
      EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << where;
      EXPECT_EQ(value.number, *number) << where;
    } else {
      // Key-only rows: the key exists and has no default value of its own.
      HKEY key = nullptr;
      EXPECT_EQ(RegOpenKeyExW(Root(row.root), row.key.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS) << where;
      if (key != nullptr) RegCloseKey(key);
      EXPECT_FALSE(value.exists) << where;
    }
  }
}

// The data the shell and Default Programs read, spelled out.
TEST_F(BrowserRegistrationTest, TableHoldsTheExactRegistrationData) {
  const std::vector<RegistryEntry> t = BuildRegistrationTable(L"D:\\VB");
  auto text = [&](std::size_t row) { return std::get<std::wstring>(t[row - 1].data); };
  const std::wstring k = L"SOFTWARE\\Clients\\StartMenuInternet\\Velko Browser";
  EXPECT_EQ(t[0].key, k);
  EXPECT_FALSE(t[0].value_name.has_value());
  EXPECT_EQ(text(1), L"Velko Browser");
  EXPECT_EQ(text(3), L"D:\\VB\\chrome.exe,0");
  EXPECT_EQ(text(4), L"岚石浏览器");
  EXPECT_EQ(*t[4].value_name, L".htm");
  EXPECT_EQ(*t[9].value_name, L".webp");
  EXPECT_EQ(text(10), L"ChromiumHTM");
  EXPECT_EQ(t[10].key, k + L"\\Capabilities\\Startmenu");
  EXPECT_EQ(*t[11].value_name, L"ftp");
  EXPECT_EQ(*t[23].value_name, L"webcal");
  EXPECT_EQ(text(26), L"\"D:\\VB\\chrome.exe\" --make-default-browser");
  EXPECT_EQ(text(27), L"\"D:\\VB\\chrome.exe\" --hide-icons");
  EXPECT_EQ(text(28), L"\"D:\\VB\\chrome.exe\" --show-icons");
  EXPECT_EQ(std::get<std::uint32_t>(t[28].data), 1u);
  EXPECT_TRUE(std::holds_alternative<KeyOnly>(t[29].data));
  EXPECT_EQ(t[30].key, k + L"\\shell\\open");
  EXPECT_EQ(text(32), L"\"D:\\VB\\chrome.exe\"");
  EXPECT_EQ(t[32].key, L"SOFTWARE\\RegisteredApplications");
  EXPECT_EQ(text(33), k + L"\\Capabilities");
  EXPECT_EQ(t[33].root, RegistryRoot::kClassesRoot);
  EXPECT_EQ(t[33].key, L"ChromeVelkoHTML");
  EXPECT_EQ(text(34), L"Chromium HTML Document");
  EXPECT_EQ(text(40), L"VELKO");
  EXPECT_EQ(text(44), L"\"D:\\VB\\chrome.exe\" -- \"%1\"");
  EXPECT_EQ(std::wstring(std::get<std::wstring>(t[1].data)).substr(0, 5), L"岚石浏览器");
  // Only IconsVisible is a number.
  std::size_t numbers = 0;
  for (const RegistryEntry& row : t) numbers += std::holds_alternative<std::uint32_t>(row.data);
  EXPECT_EQ(numbers, 1u);
}

TEST_F(BrowserRegistrationTest, EmptyFolderWritesEmptyPathsRatherThanRelativeOnes) {
  const std::vector<RegistryEntry> t = BuildRegistrationTable(L"");
  EXPECT_EQ(std::get<std::wstring>(t[2].data), L"");
  EXPECT_EQ(std::get<std::wstring>(t[43].data), L"");
}

TEST_F(BrowserRegistrationTest, RowsFailIndependently) {
  // An unusable root for the document class: its 11 rows fail, and the 33
  // rows of the client around and before them are still written.
  RegistryRoots roots = roots_;
  roots.classes_root = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7ff0));
  const RegistrationResult result = WriteRegistrationTable(BuildRegistrationTable(L"C:\\B"), roots);
  EXPECT_EQ(result.rows_written, 33u);
  EXPECT_EQ(result.rows_failed, 11u);
  EXPECT_TRUE(Read(roots_.local_machine, L"SOFTWARE\\RegisteredApplications", L"Velko Browser").exists);
}

TEST_F(BrowserRegistrationTest, SecondRunLeavesOneSetOfValuesTheSecondRunsOwn) {
  WriteRegistrationTable(BuildRegistrationTable(L"C:\\First"), roots_);
  WriteRegistrationTable(BuildRegistrationTable(L"C:\\Second"), roots_);
  const std::wstring k = L"SOFTWARE\\Clients\\StartMenuInternet\\Velko Browser";
  EXPECT_EQ(Read(roots_.local_machine, k + L"\\DefaultIcon", nullptr).text, std::wstring(L"C:\\Second\\chrome.exe,0") + L'\0');
  DWORD values = 0;
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(roots_.local_machine, (k + L"\\InstallInfo").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(key);
  EXPECT_EQ(values, 4u);
}

}  // namespace
}  // namespace velko::installer
