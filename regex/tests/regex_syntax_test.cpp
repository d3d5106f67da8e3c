// What the pattern language accepts, and the errors (position and reason) for
// what it does not.
#include <gtest/gtest.h>

#include "regex_test_support.h"

namespace vregex::testing {
namespace {

struct BadPattern {
  const char* pattern;
  size_t position;
  const char* reason_part;
};

TEST(CompileErrors, MalformedPatternsReportPositionAndReason) {
  const BadPattern cases[] = {
      {"a)", 1, "unmatched ')'"},
      {"(a))", 3, "unmatched ')'"},
      {"*a", 0, "nothing to repeat"},
      {"a|+", 2, "nothing to repeat"},
      {"(?)", 0, "unsupported group"},
      {"(*)", 1, "nothing to repeat"},
      {"a**", 2, "nothing to repeat"},
      {"a+*", 2, "nothing to repeat"},
      {"a*??", 3, "nothing to repeat"},
      {"a{2}", 1, "counted repetition"},
      {"{", 0, "counted repetition"},
      {"[abc", 0, "missing ']'"},
      {"x[^]", 1, "missing ']'"},
      {"[]", 0, "missing ']'"},
      {"a[z-a]", 2, "range out of order"},
      {"[a-\\d]", 1, "cannot bound a range"},
      {"abc\\", 3, "ends with a backslash"},
      {"[\\", 1, "ends with a backslash"},
      {"a\\q", 1, "unsupported escape '\\q'"},
      {"\\1", 0, "unsupported escape"},
      {"\\b", 0, "unsupported escape"},
      {"(?=a)", 0, "unsupported group"},
      {"(?i)a", 0, "unsupported group"},
  };
  for (const BadPattern& bad : cases) {
    SCOPED_TRACE(bad.pattern);
    CompileError error;
    EXPECT_FALSE(Regex::Compile(bad.pattern, kIgnoreCase, &error).has_value());
    EXPECT_EQ(error.position, bad.position);
    EXPECT_NE(error.reason.find(bad.reason_part), std::string::npos) << error.reason;
  }
  EXPECT_TRUE(Regex::Compile("(").has_value());  // a lone "(" is an open group: accepted
  EXPECT_FALSE(Regex::Compile("a)", kNone, nullptr).has_value());  // error pointer is optional
}

TEST(OpenGroups, GroupsLeftOpenAreClosedAtTheEndOfThePattern) {
  EXPECT_EQ(Groups("x(ab", "zxab"), (Strings{"xab", "ab"}));
  EXPECT_EQ(Groups("((a)(b", "ab"), (Strings{"ab", "ab", "a", "b"}));
  EXPECT_EQ(Groups("(a|b", "b"), (Strings{"b", "b"}));
  EXPECT_EQ(Groups("(", "q"), (Strings{"", ""}));
  EXPECT_EQ(Groups("(?:a(b", "ab"), (Strings{"ab", "b"}));
}

TEST(Syntax, EmptyPatternsAndEmptyAlternativesMatchEmpty) {
  EXPECT_EQ(Groups("", "abc"), (Strings{""}));
  EXPECT_EQ(Groups("()", "abc"), (Strings{"", ""}));
  EXPECT_EQ(Groups("a|", "b"), (Strings{""}));
  EXPECT_EQ(Groups("|a", "a"), (Strings{""}));
  EXPECT_EQ(Groups("(?:)+x", "x"), (Strings{"x"}));
}

TEST(Syntax, ControlEscapes) {
  EXPECT_EQ(Groups("a\\tb\\nc\\rd", "a\tb\nc\rd"), (Strings{"a\tb\nc\rd"}));
  EXPECT_EQ(Groups("[\\n\\f\\v]+", "x\n\f\vy"), (Strings{"\n\f\v"}));
}

}  // namespace
}  // namespace vregex::testing
