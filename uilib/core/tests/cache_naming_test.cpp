#include "uilib/cache_naming.h"

#include <gtest/gtest.h>

namespace uilib {
namespace {

TEST(CacheNamingTest, NameIsDecimalCrcOfUtf16UrlPlusExtension) {
  // CRC-32 of the URL's UTF-16LE bytes, computed independently with zlib.
  EXPECT_EQ(CacheFileName(u"http://127.0.0.1/img/logo.png"), u"res_4202221777.png");
  EXPECT_EQ(CacheFileName(u"http://h/a.b/c"), u"res_1393674195");
}

TEST(CacheNamingTest, ExtensionComesFromTheLastPathComponentOnly) {
  EXPECT_EQ(UrlExtension(u"http://h/a/b.tar.gz"), u".gz");
  EXPECT_EQ(UrlExtension(u"http://h/dir.v2/file"), u"");
  EXPECT_EQ(UrlExtension(u"http://127.0.0.1:8000/x"), u"");  // dots of the host do not count
  EXPECT_EQ(UrlExtension(u"http://h/a.png?size=2.5"), u".png");
  EXPECT_EQ(UrlExtension(u"http://h/a.png#top"), u".png");
  EXPECT_EQ(UrlExtension(u"http://h/file."), u".");
}

TEST(CacheNamingTest, ExtensionsThatNoFileNameCanCarryAreDropped) {
  EXPECT_EQ(UrlExtension(u"http://h/a.p<n>g"), u"");
  EXPECT_EQ(UrlExtension(u"http://h/a.x:y"), u"");
  EXPECT_EQ(UrlExtension(u"http://h/a.x y"), u"");  // a blank ends the extension search
}

}  // namespace
}  // namespace uilib
