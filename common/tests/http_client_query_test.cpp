#include <gtest/gtest.h>

#include "velko/http_client.h"

namespace velko {
namespace {

TEST(EncodeQueryValue, KeepsOnlyLettersAndDigits) {
  EXPECT_EQ(EncodeQueryValue("51.0.2704.103"), "51%2E0%2E2704%2E103");
  EXPECT_EQ(EncodeQueryValue("AZaz09"), "AZaz09");
  EXPECT_EQ(EncodeQueryValue("-_~ /"), "%2D%5F%7E%20%2F");
  EXPECT_EQ(EncodeQueryValue(""), "");
}

TEST(EncodeQueryValue, HighAndControlBytesUseUpperCaseHex) {
  EXPECT_EQ(EncodeQueryValue("\xE4"), "%E4");
  EXPECT_EQ(EncodeQueryValue(std::string("\x00\x0A\xFF", 3)), "%00%0A%FF");
  EXPECT_EQ(EncodeQueryValue("\xE4\xB8\xAD"), "%E4%B8%AD");
}

TEST(BuildQuery, JoinsPairsInOrderWithUnencodedKeys) {
  const QueryParameters parameters{{"bv", "51.0.2704.103"}, {"os", "6.1.7601.2"}};
  EXPECT_EQ(BuildQuery(parameters), "bv=51%2E0%2E2704%2E103&os=6%2E1%2E7601%2E2");
  EXPECT_EQ(BuildQuery({{"a.b", "x"}}), "a.b=x");
}

TEST(BuildQuery, SkipsEmptyKeysAndKeepsEmptyValues) {
  EXPECT_EQ(BuildQuery({{"", "dropped"}, {"bv", ""}, {"os", "1"}}), "bv=&os=1");
  EXPECT_EQ(BuildQuery({{"", "dropped"}}), "");
  EXPECT_EQ(BuildQuery({}), "");
}

TEST(AppendQuery, ChoosesSeparatorByExistingQuery) {
  const std::string query = "bv=51%2E0%2E2704%2E103&os=6%2E1%2E7601%2E2";
  EXPECT_EQ(AppendQuery("http://h/getinfo", query),
            "http://h/getinfo?bv=51%2E0%2E2704%2E103&os=6%2E1%2E7601%2E2");
  EXPECT_EQ(AppendQuery("http://h/getinfo?x=1", query),
            "http://h/getinfo?x=1&bv=51%2E0%2E2704%2E103&os=6%2E1%2E7601%2E2");
  EXPECT_EQ(AppendQuery("http://h/getinfo", ""), "http://h/getinfo");
  EXPECT_EQ(AppendQuery("http://h/getinfo?", ""), "http://h/getinfo?");
}

}  // namespace
}  // namespace velko
