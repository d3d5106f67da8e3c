// Matching semantics: where a match is found, which alternative and how much a
// quantifier takes, and what the groups report.
#include <gtest/gtest.h>

#include <thread>

#include "regex_test_support.h"

namespace vregex::testing {
namespace {

TEST(SearchPosition, FindsLeftmostMatchAndReportsOffsets) {
  const auto regex = Regex::Compile("b+");
  ASSERT_TRUE(regex);
  Match match;
  ASSERT_TRUE(regex->Search("aabbbcbb", &match));
  EXPECT_EQ(match.Begin(0), 2u);
  EXPECT_EQ(match.End(0), 5u);
  EXPECT_EQ(match.Group(0), "bbb");

  ASSERT_TRUE(regex->Search("aabbbcbb", &match, 4));  // inside the first run
  EXPECT_EQ(match.Begin(0), 4u);
  ASSERT_TRUE(regex->Search("aabbbcbb", &match, 5));
  EXPECT_EQ(match.Begin(0), 6u);
  EXPECT_FALSE(regex->Search("aabbbcbb", &match, 8));
  EXPECT_FALSE(regex->Search("aabbbcbb", &match, 100));  // start beyond the text
}

TEST(SearchPosition, EmptyMatchesAtStartAndAtEndOfText) {
  EXPECT_EQ(Groups("x*", "abc"), (Strings{""}));
  EXPECT_EQ(Groups("x*", "abc", kNone, 3), (Strings{""}));
  EXPECT_EQ(Groups("x*", "", kNone), (Strings{""}));
  EXPECT_EQ(Groups("$", "abc"), (Strings{""}));
}

TEST(Quantifiers, GreedyTakesMostAndLazyTakesLeast) {
  EXPECT_EQ(Groups("<(.+)>", "<a><b>"), (Strings{"<a><b>", "a><b"}));
  EXPECT_EQ(Groups("<(.+?)>", "<a><b>"), (Strings{"<a>", "a"}));
  EXPECT_EQ(Groups("(a*?)(a*)", "aaa"), (Strings{"aaa", "", "aaa"}));
  EXPECT_EQ(Groups("(a+?)(a*)", "aaa"), (Strings{"aaa", "a", "aa"}));
  EXPECT_EQ(Groups("(a?" "?)a", "aa"), (Strings{"a", ""}));
  EXPECT_EQ(Groups("(a?)a", "aa"), (Strings{"aa", "a"}));
  // Lazy and greedy loops over groups, not only single bytes.
  EXPECT_EQ(Groups("((?:ab)+?)(.*)", "ababab"), (Strings{"ababab", "ab", "abab"}));
  EXPECT_EQ(Groups("((?:ab)*)(.*)", "ababx"), (Strings{"ababx", "abab", "x"}));
  EXPECT_EQ(Groups("(?:ab)*?x", "ababx"), (Strings{"ababx"}));
}

TEST(Quantifiers, GreedyRunGivesBackWhatTheRestNeeds) {
  EXPECT_EQ(Groups("(\\d+)(\\d)", "12345"), (Strings{"12345", "1234", "5"}));
  EXPECT_EQ(Groups("(.*),(.*)", "a,b,c"), (Strings{"a,b,c", "a,b", "c"}));
  EXPECT_EQ(Groups("(.*?),(.*)", "a,b,c"), (Strings{"a,b,c", "a", "b,c"}));
  EXPECT_EQ(Groups("a.*bc", "axxbcxbcx"), (Strings{"axxbcxbc"}));
}

TEST(Alternation, TriesAlternativesInOrderAndBacktracksIntoLaterOnes) {
  EXPECT_EQ(Groups("(a|ab)", "ab"), (Strings{"a", "a"}));  // first that fits, not longest
  EXPECT_EQ(Groups("(a|ab)c", "abc"), (Strings{"abc", "ab"}));
  EXPECT_EQ(Groups("(ab|a)bc", "abc"), (Strings{"abc", "a"}));
  EXPECT_EQ(Groups("x(?:1|22|333)y", "x333y"), (Strings{"x333y"}));
  EXPECT_EQ(Groups("(|a)b", "ab"), (Strings{"ab", "a"}));
  EXPECT_TRUE(Groups("a(?:b|c)d", "abe acx").empty());
}

TEST(Groups, UnmatchedGroupIsDistinctFromEmptyGroup) {
  EXPECT_EQ(Groups("(a)|(b)", "b"), (Strings{"b", kUnset, "b"}));
  EXPECT_EQ(Groups("(x?)y", "y"), (Strings{"y", ""}));
  EXPECT_EQ(Groups("(x)?y", "y"), (Strings{"y", kUnset}));

  const auto regex = Regex::Compile("(a)|(b)()");
  ASSERT_TRUE(regex);
  EXPECT_EQ(regex->CaptureCount(), 3u);
  Match match;
  ASSERT_TRUE(regex->Search("zb", &match));
  EXPECT_EQ(match.GroupCount(), 4u);
  EXPECT_FALSE(match.Matched(1));
  EXPECT_EQ(match.Begin(1), Match::npos);
  EXPECT_EQ(match.End(1), Match::npos);
  EXPECT_TRUE(match.Matched(3));
  EXPECT_EQ(match.Begin(3), 2u);
  EXPECT_EQ(match.End(3), 2u);
  EXPECT_FALSE(match.Matched(4));  // out of range
  EXPECT_EQ(match.Group(4), "");
  EXPECT_EQ(match.Begin(4), Match::npos);
}

TEST(Groups, GroupInsideRepetitionKeepsItsLastIteration) {
  EXPECT_EQ(Groups("(\\w)+", "abc"), (Strings{"abc", "c"}));
  EXPECT_EQ(Groups("(?:(\\d+),?)*", "1,22,333"), (Strings{"1,22,333", "333"}));
  EXPECT_EQ(Groups("(a|b)*c", "abbac"), (Strings{"abbac", "a"}));
  // A group that failed in a later iteration reverts to its earlier value.
  EXPECT_EQ(Groups("(?:(\\d)b)*\\dc", "1b2b3c"), (Strings{"1b2b3c", "2"}));
  EXPECT_EQ(Groups("(?:x(\\d)|y)*$", "x1x2y"), (Strings{"x1x2y", "2"}));
}

TEST(Groups, NonCapturingGroupsAreNotCounted) {
  EXPECT_EQ(Groups("(?:a)(b)(?:c)(d)", "abcd"), (Strings{"abcd", "b", "d"}));
}

TEST(CaseFolding, IgnoreCaseFoldsAsciiLettersOnly) {
  EXPECT_EQ(Groups("WIDTH:(\\d+)", "width:10", kIgnoreCase), (Strings{"width:10", "10"}));
  EXPECT_TRUE(Groups("WIDTH", "width").empty());
  EXPECT_EQ(Groups("[a-c]+", "xAbC", kIgnoreCase), (Strings{"AbC"}));
  EXPECT_EQ(Groups("[^a-z]+", "Q1;", kIgnoreCase), (Strings{"1;"}));
  EXPECT_EQ(Groups("x+", "XxX", kIgnoreCase), (Strings{"XxX"}));
  EXPECT_EQ(Groups("a*?b", "AAB", kIgnoreCase), (Strings{"AAB"}));
  // '@' and '`' sit next to the letters but are not letters.
  EXPECT_TRUE(Groups("@", "`", kIgnoreCase).empty());
  EXPECT_TRUE(Groups("[[]", "{", kIgnoreCase).empty());
  // Bytes above 127 compare exactly.
  EXPECT_TRUE(Groups("\xC3\xA9", "\xC3\x89", kIgnoreCase).empty());
}

TEST(Bytes, Utf8TextPassesThroughAsBytes) {
  const std::string family = "\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91";  // 微软雅黑
  EXPECT_EQ(Group1("(\\d+px )?([^,]+)", "16px " + family), "16px ");
  EXPECT_EQ(Groups("(\\d+px )?([^,]+)", "16px " + family)[2], family);
  EXPECT_EQ(Groups(family + ":(.)", family + ":\xE5\xBE\xAE", kIgnoreCase), (Strings{family + ":\xE5", "\xE5"}));
  EXPECT_EQ(Groups("a.c", std::string("a\0c", 3)), (Strings{std::string("a\0c", 3)}));
}

TEST(Anchors, CaretAndDollarAreStartAndEndOfText) {
  EXPECT_TRUE(Groups("^a", "ba").empty());
  EXPECT_TRUE(Groups("^a", "aa", kNone, 1).empty());  // start of the text, not of the search
  EXPECT_EQ(Groups("a$", "aa"), (Strings{"a"}));
  EXPECT_TRUE(Groups("a$", "a\n").empty());
  EXPECT_TRUE(Groups("^b", "a\nb").empty());
  EXPECT_EQ(Groups("(?:^|,)(b)", "a,b"), (Strings{",b", "b"}));
  EXPECT_EQ(Groups("x(?:;|$)", "ax"), (Strings{"x"}));
}

TEST(Classes, EscapesDotAndClasses) {
  EXPECT_EQ(Groups("\\d+", "ab0123456789c"), (Strings{"0123456789"}));
  EXPECT_EQ(Groups("\\w+", "-- a_Z9 --"), (Strings{"a_Z9"}));
  EXPECT_EQ(Groups("\\s+", "a \t\r\n\f\vb"), (Strings{" \t\r\n\f\v"}));
  EXPECT_EQ(Groups("\\D+", "12ab34"), (Strings{"ab"}));
  EXPECT_EQ(Groups("\\W+", "ab-+cd"), (Strings{"-+"}));
  EXPECT_EQ(Groups("\\S+", "  xy "), (Strings{"xy"}));
  EXPECT_EQ(Groups(".+", "ab\ncd"), (Strings{"ab"}));  // "." stops at a line feed
  EXPECT_EQ(Groups("[\\d.]+%", "w 12.5% x"), (Strings{"12.5%"}));
  EXPECT_EQ(Groups("[^\\\\/]+", "c:\\dir/file.png"), (Strings{"c:"}));
  EXPECT_EQ(Groups("[\\\\/]", "a/b"), (Strings{"/"}));
  EXPECT_EQ(Groups("[]a]+", "x]a]"), (Strings{"]a]"}));   // "]" first is a member
  EXPECT_EQ(Groups("[a-]+", "x-a-"), (Strings{"-a-"}));   // "-" last is a member
  EXPECT_EQ(Groups("[\\]\\-]+", "x]-"), (Strings{"]-"}));
  EXPECT_EQ(Groups("[^\\d\\s]+", "1 ab 2"), (Strings{"ab"}));
  EXPECT_EQ(Groups("[\\t]", "a\tb"), (Strings{"\t"}));
}

TEST(Literals, EscapedMetacharactersAndOrdinaryCharactersMatchThemselves) {
  EXPECT_EQ(Groups("\\(\\)\\[\\]\\.\\*\\+\\?\\|\\^\\$\\\\\\{\\}", "x()[].*+?|^$\\{}x"),
            (Strings{"()[].*+?|^$\\{}"}));
  EXPECT_EQ(Groups("\\d+\\%", "50%"), (Strings{"50%"}));
  EXPECT_EQ(Groups("[a-z]\\:", "c:"), (Strings{"c:"}));
  EXPECT_EQ(Groups("a\\-b\\,c\\'", "a-b,c'"), (Strings{"a-b,c'"}));
  EXPECT_EQ(Groups("}", "a}"), (Strings{"}"}));
}

TEST(Reuse, CompiledPatternServesManySearchesAndCopies) {
  auto regex = Regex::Compile("(\\d+)px", kIgnoreCase);
  ASSERT_TRUE(regex);
  const Regex copy = *regex;
  Regex moved = std::move(*regex);
  Match match;
  ASSERT_TRUE(copy.Search("w:10PX", &match));
  EXPECT_EQ(match.Group(1), "10");
  ASSERT_TRUE(moved.Search("h:7px", &match));
  EXPECT_EQ(match.Group(1), "7");
  EXPECT_FALSE(moved.Search("none", &match));  // a failed search leaves no stale groups
  EXPECT_EQ(match.GroupCount(), 0u);
  EXPECT_FALSE(match.Matched(1));
  EXPECT_TRUE(moved.Search("3px"));
}

TEST(Reuse, OneCompiledPatternSearchedFromTwoThreads) {
  const auto regex = Regex::Compile("font:(.*?)(?:;|$)", kIgnoreCase);
  ASSERT_TRUE(regex);
  auto search_many = [&regex](std::string text, std::string expected, int* mismatches) {
    Match match;
    for (int i = 0; i < 2000; ++i) {
      if (!regex->Search(text, &match) || match.Group(1) != expected) ++*mismatches;
    }
  };
  int first = 0;
  int second = 0;
  std::thread a(search_many, "width:1px;font:12px Arial;", "12px Arial", &first);
  std::thread b(search_many, "FONT:bold 9px Tahoma", "bold 9px Tahoma", &second);
  a.join();
  b.join();
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 0);
}

}  // namespace
}  // namespace vregex::testing
