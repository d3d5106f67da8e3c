#include "velko/download_naming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "velko/crc32.h"
#include "velko/url_parts.h"

namespace velko {
namespace {

// Readable failure messages for UTF-16 text (ASCII only in these tests).
std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

bool IsEightUpperHexDigits(std::u16string_view text) {
  if (text.size() != 8) return false;
  for (char16_t c : text) {
    if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'))) return false;
  }
  return true;
}

TEST(SplitUrl, FullUrl) {
  const UrlParts parts = SplitUrl(u"HTTPS://user:pw@dl.example.com:8443/files/setup.rar?v=2#top");
  EXPECT_EQ(Narrow(parts.scheme), "https");
  EXPECT_EQ(Narrow(parts.host), "dl.example.com");
  EXPECT_EQ(parts.port, 8443);
  EXPECT_EQ(Narrow(parts.path), "/files/setup.rar");
  EXPECT_EQ(Narrow(parts.extra), "?v=2#top");
}

TEST(SplitUrl, DefaultsAndOddInput) {
  UrlParts parts = SplitUrl(u"example.com/a/b.zip");
  EXPECT_EQ(Narrow(parts.scheme), "http");
  EXPECT_EQ(parts.port, 80);
  EXPECT_EQ(Narrow(parts.host), "example.com");
  EXPECT_EQ(Narrow(parts.path), "/a/b.zip");

  parts = SplitUrl(u"host:8080/x");  // a port, not a scheme
  EXPECT_EQ(Narrow(parts.host), "host");
  EXPECT_EQ(parts.port, 8080);

  parts = SplitUrl(u"http://host:99999/x");  // out-of-range port keeps the default
  EXPECT_EQ(parts.port, 80);

  parts = SplitUrl(u"http://[::1]:81/x");
  EXPECT_EQ(Narrow(parts.host), "[::1]");
  EXPECT_EQ(parts.port, 81);

  parts = SplitUrl(u"/only/a/path");
  EXPECT_EQ(Narrow(parts.host), "");
  EXPECT_EQ(Narrow(parts.path), "/only/a/path");

  parts = SplitUrl(u"http://host?q=/not/path");  // query directly after the host
  EXPECT_EQ(Narrow(parts.host), "host");
  EXPECT_EQ(Narrow(parts.path), "");
  EXPECT_EQ(Narrow(parts.extra), "?q=/not/path");

  for (const char16_t* odd : {u"", u"/", u"?", u"#", u"http:", u"http:/", u"http://", u"://",
                              u"\\", u"\\\\", u":", u"@", u"[", u"]:"}) {
    const UrlParts p = SplitUrl(odd);  // must neither crash nor read past the end
    EXPECT_LE(p.path.size() + p.extra.size() + p.host.size(), std::u16string_view(odd).size());
  }
}

TEST(DownloadNaming, NameAndExtensionFromLastSegment) {
  struct Case {
    const char16_t* url;
    const char16_t* base;
    const char16_t* extension;
  };
  const Case cases[] = {
      {u"http://dl.example.com/files/setup.rar", u"setup", u".rar"},
      {u"http://dl.example.com/files/setup.rar?name=other.exe#x.zip", u"setup", u".rar"},
      {u"http://h/get", u"get", u".bin"},
      {u"http://h/dir.v2/get", u"get", u".bin"},  // a dot in a folder is no extension
      {u"http://h/a/pkg.tar.gz", u"pkg.tar", u".gz"},
      {u"http://h/a\\b\\file.exe", u"file", u".exe"},  // backslashes separate too
      {u"http://h/a:file.msi", u"file", u".msi"},        // so does ":"
      {u"http://h/readme.", u"readme", u"."},
      {u"h/x/y.7z", u"y", u".7z"},  // no scheme
      {u"/x/y.7z", u"y", u".7z"},   // only a path
      {u"ftp://h:21/\u6D4F\u89C8\u5668.rar", u"\u6D4F\u89C8\u5668", u".rar"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MakeDownloadBaseName(c.url), c.base) << Narrow(c.url);
    EXPECT_EQ(MakeDownloadExtension(c.url), c.extension) << Narrow(c.url);
  }
}

TEST(DownloadNaming, EmptyNamesFallBackToUrlCrc) {
  for (const char16_t* url : {u"http://h/", u"http://h", u"http://h/.rar", u"", u"?", u"http://",
                              u"http://h/dir/", u"http://h/?file=a.rar"}) {
    const std::u16string base = MakeDownloadBaseName(url);
    EXPECT_TRUE(IsEightUpperHexDigits(base)) << Narrow(url) << " -> " << Narrow(base);
  }
  EXPECT_EQ(Narrow(MakeDownloadExtension(u"http://h/")), ".bin");
  EXPECT_EQ(Narrow(MakeDownloadExtension(u"http://h/.rar")), ".rar");
}

TEST(DownloadNaming, CrcNameIsOverLittleEndianUtf16) {
  const std::u16string url = u"http://h/\u00E9/";
  std::vector<unsigned char> bytes;
  for (char16_t unit : url) {
    bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
    bytes.push_back(static_cast<unsigned char>(unit >> 8));
  }
  char expected[9];
  std::snprintf(expected, sizeof expected, "%08X", BufferCrc32(bytes.data(), bytes.size()));
  EXPECT_EQ(Narrow(MakeDownloadBaseName(url)), expected);
  // Known value, so a change of byte order or terminator handling shows up.
  EXPECT_EQ(Narrow(MakeDownloadBaseName(u"/")), "53C52A92");
}

TEST(DownloadNaming, DotOnlyNamesNeverNameAFolder) {
  // "." and ".." as a file name would be the download folder or its parent.
  for (const char16_t* url : {u"http://h/..", u"http://h/a/...", u"http://h/a/.", u"http://h/.."}) {
    const std::u16string base = MakeDownloadBaseName(url);
    EXPECT_TRUE(IsEightUpperHexDigits(base)) << Narrow(url) << " -> " << Narrow(base);
  }
}

}  // namespace
}  // namespace velko
