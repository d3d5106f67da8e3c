#include "save_file_name.h"

#include <gtest/gtest.h>

namespace velko::xldl {
namespace {

TEST(SaveFileNameTest, PlainNamesAreUsedAsGiven) {
  EXPECT_EQ(ResolveSaveFileName(L"velko_2.rar", L"http://h/x/other.rar"), L"velko_2.rar");
}

TEST(SaveFileNameTest, UrlsAndUnsafeNamesFallBackToTheUrlsLastSegment) {
  const wchar_t url[] = L"http://127.0.0.1:18080/pkg/velko_2.rar?sig=1";
  // The updater passes the whole URL as the save name.
  EXPECT_EQ(ResolveSaveFileName(url, url), L"velko_2.rar");
  for (const wchar_t* unsafe : {L"", L".", L"..", L"..\\x.rar", L"C:x.rar", L"a/b", L"x.rar.",
                                L"x?.rar", L"tab\there"}) {
    EXPECT_EQ(ResolveSaveFileName(unsafe, url), L"velko_2.rar") << unsafe;
  }
  EXPECT_EQ(ResolveSaveFileName(L"", L"http://h/get"), L"get.bin");
}

TEST(SaveFileNameTest, PartialFilesHaveTheirOwnName) {
  EXPECT_EQ(PartialFileName(L"velko_2.rar"), L"velko_2.rar.part");
}

}  // namespace
}  // namespace velko::xldl
