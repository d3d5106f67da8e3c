#include <gtest/gtest.h>

#include "velko/file_utils.h"

namespace velko {
namespace {

TEST(Utf8ToWide, NullAndEmptyGiveEmpty) {
  EXPECT_EQ(Utf8ToWide(static_cast<const char*>(nullptr)), L"");
  EXPECT_EQ(Utf8ToWide(""), L"");
  EXPECT_EQ(Utf8ToWide(std::string_view()), L"");
}

TEST(Utf8ToWide, ConvertsChineseAndKeepsTheWholeLength) {
  // "岚石浏览器" in UTF-8.
  EXPECT_EQ(Utf8ToWide("\xE5\xB2\x9A\xE7\x9F\xB3\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"),
            L"\u5C9A\u77F3\u6D4F\u89C8\u5668");
  // A character outside the BMP becomes a surrogate pair.
  EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), std::wstring(L"\xD83D\xDE00"));
  // The view's whole length counts, an embedded NUL included.
  EXPECT_EQ(Utf8ToWide(std::string_view("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(Utf8ToWide, InvalidBytesBecomeReplacementCharacters) {
  const std::wstring text = Utf8ToWide("ok\xFF\xFEok");
  EXPECT_EQ(text.substr(0, 2), L"ok");
  EXPECT_EQ(text.substr(text.size() - 2), L"ok");
  EXPECT_NE(text.find(L'\xFFFD'), std::wstring::npos);
}

TEST(DownloadNamingWide, WrappersMatchTheUtf16Code) {
  EXPECT_EQ(MakeDownloadBaseName(std::wstring_view(L"http://h/files/setup.rar?x")), L"setup");
  EXPECT_EQ(MakeDownloadExtension(std::wstring_view(L"http://h/get")), L".bin");
  EXPECT_EQ(MakeDownloadBaseName(std::wstring_view(L"/")), L"53C52A92");
}

}  // namespace
}  // namespace velko
