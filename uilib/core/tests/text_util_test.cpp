#include "uilib/text_util.h"

#include <gtest/gtest.h>

namespace uilib {
namespace {

TEST(TextUtilTest, Utf8ToWideDecodesAndReplacesMalformedInput) {
  EXPECT_EQ(Utf8ToWide("a岚"), L"a\u5c9a");
  EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80").size(), sizeof(wchar_t) == 2 ? 2u : 1u);
  EXPECT_EQ(Utf8ToWide("\xE5\xB2"), L"\ufffd\ufffd");         // truncated sequence
  EXPECT_EQ(Utf8ToWide("\xC0\x80"), L"\ufffd\ufffd");         // overlong NUL
  EXPECT_EQ(Utf8ToWide("\xED\xA0\x80x"), L"\ufffd\ufffd\ufffdx");  // encoded surrogate
}

TEST(TextUtilTest, PointerTextAcceptsOnlyNonzeroHexAddresses) {
  EXPECT_EQ(ParsePointerText("0x1F"), 0x1Fu);
  EXPECT_EQ(ParsePointerText(" 00AbC0 "), 0xABC0u);
  EXPECT_FALSE(ParsePointerText("0"));
  EXPECT_FALSE(ParsePointerText("12G4"));
  EXPECT_FALSE(ParsePointerText(""));
  EXPECT_FALSE(ParsePointerText("123456789abcdef01"));  // more digits than a pointer has
}

TEST(TextUtilTest, LeadingNumbersSaturateInsteadOfOverflowing) {
  EXPECT_EQ(LeadingInt("99999999999999999999px"), INT32_MAX);
  EXPECT_EQ(LeadingInt("px"), 0);
  EXPECT_EQ(LeadingIntLow8("300"), 44);
  EXPECT_EQ(LeadingFloat("12.5%"), 12.5f);
  EXPECT_EQ(LeadingFloat(std::string(400, '9')), 3.40282347e38f);
}

}  // namespace
}  // namespace uilib
