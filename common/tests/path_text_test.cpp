#include "velko/path_text.h"

#include <gtest/gtest.h>

#include "velko/file_age.h"

namespace velko {
namespace {

std::u16string Parent(std::u16string_view path) { return ParentPath<char16_t>(path); }
std::u16string Join(std::u16string_view a, std::u16string_view b) { return JoinPath<char16_t>(a, b); }

TEST(PathText, ParentPath) {
  EXPECT_EQ(Parent(u"C:\\a\\b"), u"C:\\a");
  EXPECT_EQ(Parent(u"C:\\a"), u"C:");
  EXPECT_EQ(Parent(u"C:/a/b"), u"C:/a");
  EXPECT_EQ(Parent(u"C:\\a\\"), u"C:\\a");
  EXPECT_EQ(Parent(u"name"), u"");
  EXPECT_EQ(Parent(u""), u"");
  EXPECT_EQ(Parent(u"\\"), u"");
}

TEST(PathText, JoinPathNeverDoublesSeparators) {
  EXPECT_EQ(Join(u"C:\\dl", u"x.rar"), u"C:\\dl\\x.rar");
  EXPECT_EQ(Join(u"C:\\dl\\", u"x.rar"), u"C:\\dl\\x.rar");
  EXPECT_EQ(Join(u"C:/dl/", u"x.rar"), u"C:/dl/x.rar");
  EXPECT_EQ(Join(u"", u"x.rar"), u"x.rar");
}

TEST(FileAge, StaleOnlyAfterMoreThan48Hours) {
  constexpr std::uint64_t kSecond = kFileTimeUnitsPerSecond;
  constexpr std::uint64_t kHour = 3600 * kSecond;
  const std::uint64_t now = 133'000'000'000'000'000ull;  // a date in 2022
  EXPECT_TRUE(IsStaleWriteTime(now, now - 49 * kHour));
  EXPECT_FALSE(IsStaleWriteTime(now, now - 47 * kHour));
  EXPECT_FALSE(IsStaleWriteTime(now, now - 48 * kHour));            // exactly 48 h stays
  EXPECT_TRUE(IsStaleWriteTime(now, now - 48 * kHour - kSecond));   // one second more goes
  EXPECT_FALSE(IsStaleWriteTime(now, now + 100 * kHour));           // future-dated stays
  EXPECT_TRUE(IsStaleWriteTime(now, 0));                             // 1601 is old
}

}  // namespace
}  // namespace velko
