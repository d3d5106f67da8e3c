#include "archive_entry_path.h"

#include <gtest/gtest.h>

#include <string>

namespace velko::bootstrap {
namespace {

std::optional<std::string> Safe(std::string_view name) { return SafeArchiveEntryPath(name); }

TEST(ArchiveEntryPathTest, RelativeNamesGetBackslashes) {
  EXPECT_EQ(Safe("xldl.dll"), "xldl.dll");
  EXPECT_EQ(Safe("sub/dir/file.dat"), "sub\\dir\\file.dat");
  EXPECT_EQ(Safe("sub\\dir/file.dat"), "sub\\dir\\file.dat");
  EXPECT_EQ(Safe("a..b/c..d"), "a..b\\c..d");  // dots inside names are names
}

TEST(ArchiveEntryPathTest, NamesThatLeaveTheFolderAreRefused) {
  for (const char* name : {"", "/etc/passwd", "\\\\server\\share\\x", "C:\\x.dll", "C:x.dll",
                           "../x", "a\\..\\..\\x", "... /x", "x.dll:stream"}) {
    EXPECT_FALSE(Safe(name).has_value()) << '"' << name << '"';
  }
  EXPECT_FALSE(SafeArchiveEntryPath(std::u16string_view(u"..\\b.txt")).has_value());
}

}  // namespace
}  // namespace velko::bootstrap
