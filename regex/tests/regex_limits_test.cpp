// Bounded work: pathological patterns end as "no match", loops that can match
// empty end, and deep patterns or long texts do not exhaust the stack.
#include <gtest/gtest.h>

#include <string>

#include "regex_test_support.h"

namespace vregex::testing {
namespace {

TEST(StepBudget, CatastrophicBacktrackingEndsAsNoMatch) {
  const std::string as(5000, 'a');
  for (const char* pattern : {"(a+)+b", "(a|aa)+b", "(a*)*b", "(?:a|a?)+b"}) {
    SCOPED_TRACE(pattern);
    const auto regex = Regex::Compile(pattern);
    ASSERT_TRUE(regex);
    EXPECT_FALSE(regex->Search(as));
    EXPECT_TRUE(regex->Search(as.substr(0, 20) + "b"));
  }
}

TEST(StepBudget, BudgetIsAdjustableAndCountsTheWholeSearch) {
  auto regex = Regex::Compile("(?:ab|ac)+d");
  ASSERT_TRUE(regex);
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "ac";
  text += "d";
  EXPECT_TRUE(regex->Search(text));
  regex->SetStepBudget(100);
  EXPECT_FALSE(regex->Search(text));
  EXPECT_TRUE(regex->Search("xxacd"));
  // Failed start positions use up the same budget.
  std::string many_starts;
  for (int i = 0; i < 100; ++i) many_starts += "ax";
  EXPECT_FALSE(regex->Search(many_starts + "acd"));
  regex->SetStepBudget(Regex::kDefaultStepBudget);
  EXPECT_TRUE(regex->Search(many_starts + "acd"));
}

TEST(EmptyLoops, LoopsWhoseBodyCanMatchEmptyTerminate) {
  EXPECT_EQ(Groups("(a*)*", "b"), (Strings{"", ""}));
  EXPECT_EQ(Groups("(a*)*b", "aaab")[0], "aaab");
  EXPECT_EQ(Groups("(a*)+$", "aaa")[0], "aaa");
  EXPECT_EQ(Groups("(|a)*x", "aax")[0], "aax");
  EXPECT_EQ(Groups("(?:a?)*?b", "aab")[0], "aab");
  EXPECT_EQ(Groups("(^)*a", "a")[0], "a");
  EXPECT_EQ(Groups("($)+", "ab")[0], "");
  EXPECT_EQ(Groups("(?:(?:a*)*)*c", "aaac")[0], "aaac");
  EXPECT_TRUE(Groups("(a*)*c", std::string(2000, 'a')).empty());
  EXPECT_EQ(Groups("(a*)+?b", "ab")[0], "ab");
}

TEST(Depth, DeeplyNestedGroupsCompileUpToTheLimitAndAreRefusedBeyond) {
  const int depth = 150;
  const std::string nested = std::string(depth, '(') + "a" + std::string(depth, ')');
  const std::vector<std::string> groups = Groups(nested, "xa");
  ASSERT_EQ(groups.size(), static_cast<size_t>(depth + 1));
  EXPECT_EQ(groups[depth], "a");

  const std::string too_deep(100000, '(');
  CompileError error;
  EXPECT_FALSE(Regex::Compile(too_deep, kNone, &error));
  EXPECT_NE(error.reason.find("nested too deeply"), std::string::npos);
  EXPECT_EQ(error.position, 200u);

  std::string deep_repeats;
  for (int i = 0; i < 190; ++i) deep_repeats += "(?:a";
  for (int i = 0; i < 190; ++i) deep_repeats += ")*";
  EXPECT_EQ(Groups(deep_repeats, "aaab")[0], "aaa");
}

TEST(LongTexts, LongMatchesUseHeapStateNotTheStack) {
  std::string text;
  for (int i = 0; i < 30000; ++i) text += "ab";
  EXPECT_EQ(Groups("(?:a|b)*c", text + "c")[0].size(), text.size() + 1);
  EXPECT_EQ(Groups("^(a|b)*$", text)[1], "b");
  EXPECT_EQ(Groups("([ab]*?)$", text)[1].size(), text.size());
  const std::string long_run(1 << 20, 'x');
  EXPECT_EQ(Groups("x+", long_run)[0].size(), long_run.size());
  EXPECT_TRUE(Groups("y", long_run).empty());
}

TEST(LongTexts, NestedRepetitionOverLongSuffixStaysPolynomial) {
  // The style language's file() form: a path loop followed by text that forces
  // every way of splitting the rest of the line to be tried.
  const auto regex = Regex::Compile("file\\('(?:[a-z]\\:)?[\\\\/]?(?:[^\\\\/]+[\\\\/]?)*'\\)", kIgnoreCase);
  ASSERT_TRUE(regex);
  const std::string tail = ";width:100px;height:100px;color:argb(254,91,91,91);font:12px Arial;";
  Match match;
  const std::string style = "background:file('c:\\skin\\back.png')" + tail;
  ASSERT_TRUE(regex->Search(style, &match));
  EXPECT_EQ(match.Group(0), "file('c:\\skin\\back.png')");
  EXPECT_FALSE(regex->Search("background:file('c:\\skin\\back.png" + tail));
}

}  // namespace
}  // namespace vregex::testing
