#include "velko/archive_entry_name.h"

#include <gtest/gtest.h>

#include <string>

namespace velko {
namespace {

TEST(ArchiveEntryNameTest, OrdinaryPackageNamesAreSafe) {
  for (const char* name : {"chrome.exe", "51.0.2704.103\\chrome.dll", "51.0.2704.103/Locales/zh-CN.pak",
                           "a\\.\\b.txt", "dir\\..name", "name..", "..name", "dir\\file.with.dots",
                           "dir\\\\double-separator.txt", "folder\\"}) {
    EXPECT_EQ(CheckArchiveEntryName(std::string_view(name)), EntryNameVerdict::kSafe) << name;
  }
}

TEST(ArchiveEntryNameTest, NamesThatLeaveTheFolderAreRefused) {
  struct Case {
    const char* name;
    EntryNameVerdict verdict;
  };
  const Case cases[] = {
      {"..\\evil.txt", EntryNameVerdict::kParentComponent},
      {"a\\..\\..\\evil.txt", EntryNameVerdict::kParentComponent},
      {"a/../b", EntryNameVerdict::kParentComponent},
      {"..", EntryNameVerdict::kParentComponent},
      {"a\\..", EntryNameVerdict::kParentComponent},
      // Windows strips trailing dots and blanks, so these resolve to "..".
      {"...\\evil.txt", EntryNameVerdict::kParentComponent},
      {".. \\evil.txt", EntryNameVerdict::kParentComponent},
      {"a\\ \\b", EntryNameVerdict::kParentComponent},
      {"\\Windows\\evil.dll", EntryNameVerdict::kRooted},
      {"/etc/passwd", EntryNameVerdict::kRooted},
      {"\\\\server\\share\\evil.txt", EntryNameVerdict::kRooted},
      {"\\\\?\\C:\\evil.txt", EntryNameVerdict::kRooted},
      {"C:\\evil.txt", EntryNameVerdict::kDriveOrStream},
      {"C:evil.txt", EntryNameVerdict::kDriveOrStream},
      {"chrome.exe:hidden", EntryNameVerdict::kDriveOrStream},
      {"", EntryNameVerdict::kEmpty},
      {"\\", EntryNameVerdict::kRooted},
      {"a\tb", EntryNameVerdict::kControlCharacter},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckArchiveEntryName(std::string_view(c.name)), c.verdict)
        << c.name << " judged " << EntryNameVerdictText(CheckArchiveEntryName(std::string_view(c.name)));
  }
}

// Windows opens these as devices whatever folder or extension they carry.
TEST(ArchiveEntryNameTest, DeviceNamesAreRefusedInAnyComponentCaseAndExtension) {
  for (const char* name : {"CON", "nul", "AUX.txt", "prn.tar.gz", "com1", "LPT9.log", "dir\\Nul",
                           "CON\\file.txt", "a/b/lpt1.dll", "NUL .txt", "conout$", "CONIN$.x"}) {
    EXPECT_EQ(CheckArchiveEntryName(std::string_view(name)), EntryNameVerdict::kDeviceName) << name;
  }
  EXPECT_EQ(CheckArchiveEntryName(std::u16string_view(u"资源\\COM\u00b9.txt")), EntryNameVerdict::kDeviceName);
  for (const char* name : {"CONSOLE.txt", "nul_device", "com0", "COM10", "lpt", "xcon", "a.con",
                           "AUXILIARY\\b", "COM1x.txt"}) {
    EXPECT_EQ(CheckArchiveEntryName(std::string_view(name)), EntryNameVerdict::kSafe) << name;
  }
}

TEST(ArchiveEntryNameTest, WideNamesAreJudgedTheSameWay) {
  EXPECT_TRUE(IsSafeArchiveEntryName(std::u16string_view(u"51.0.2704.103\\岚石\\资源.pak")));
  EXPECT_FALSE(IsSafeArchiveEntryName(std::u16string_view(u"岚石\\..\\..\\evil.txt")));
  EXPECT_FALSE(IsSafeArchiveEntryName(std::u16string_view(u"\\\\server\\share")));
  // Non-ASCII bytes of an 8-bit name are ordinary characters, not separators.
  EXPECT_TRUE(IsSafeArchiveEntryName(std::string_view("\xe5\xb2\x9a\\\xd5\x5c.txt")));
}

}  // namespace
}  // namespace velko
