#include "engine_config.h"

#include <gtest/gtest.h>

#include <string>

namespace velko::bootstrap {
namespace {

std::string Document(const std::string& storage_attributes, const std::string& children) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<xl><storage " + storage_attributes + ">" +
         children + "</storage></xl>";
}

const std::string kStorage =
    "save_base=\"CSIDL_LOCAL_APPDATA\\VelkoEngine\" downurl=\"http://127.0.0.1/xl/engine.zip\"";

TEST(ParseCrcTextTest, ReadsTheFormsTheFormatAccepts) {
  EXPECT_EQ(ParseCrcText("0x1a2b"), 0x1A2Bu);
  EXPECT_EQ(ParseCrcText("0xCBF43926"), 0xCBF43926u);
  EXPECT_EQ(ParseCrcText("0x0"), 0u);
  EXPECT_EQ(ParseCrcText("0xFFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseCrcText("0x0000000012345678"), 0x12345678u);  // leading zeros are no overflow
  EXPECT_EQ(ParseCrcText("0x  1f"), 0x1Fu);                      // blanks before the number
  EXPECT_EQ(ParseCrcText("0x0x1f"), 0x1Fu);                      // the number's own prefix
  EXPECT_EQ(ParseCrcText("0x1fzz"), 0x1Fu);                      // trailing text is not read
  EXPECT_EQ(ParseCrcText("0x-1"), 0xFFFFFFFFu);                  // sign modulo 2^32
}

TEST(ParseCrcTextTest, RefusesEverythingElse) {
  for (const char* text : {"0X1A2B", "1a2b", "x1a2b", "0x", "0xg1", " 0x1", "", "0", "0x+",
                           "0x100000000", "0xFFFFFFFFF"}) {
    EXPECT_FALSE(ParseCrcText(text).has_value()) << text;
  }
}

TEST(ParseEngineConfigTest, ReadsStorageAndFilesInDocumentOrder) {
  const auto config = ParseEngineConfig(Document(
      kStorage, "<file_hash name=\"xldl.dll\" crc=\"0x1a2b3c4d\"/>"
                "<other/><file_hash name=\"doc\\readme.txt\" crc=\"0x0\"/>"));
  ASSERT_TRUE(config.has_value());
  EXPECT_EQ(config->save_base_ansi, "CSIDL_LOCAL_APPDATA\\VelkoEngine");
  EXPECT_EQ(config->download_url_utf8, "http://127.0.0.1/xl/engine.zip");
  ASSERT_EQ(config->files.size(), 2u);
  EXPECT_EQ(config->files[0].name_utf8, "xldl.dll");
  EXPECT_EQ(config->files[0].crc, 0x1A2B3C4Du);
  EXPECT_EQ(config->files[1].name_utf8, "doc\\readme.txt");
  EXPECT_EQ(config->files[1].crc, 0u);
}

TEST(ParseEngineConfigTest, FirstDuplicateNameWins) {
  const auto config = ParseEngineConfig(Document(
      kStorage, "<file_hash name=\"xldl.dll\" crc=\"0x1\"/><file_hash name=\"xldl.dll\" crc=\"0x2\"/>"));
  ASSERT_TRUE(config.has_value());
  ASSERT_EQ(config->files.size(), 1u);
  EXPECT_EQ(config->files[0].crc, 1u);
}

TEST(ParseEngineConfigTest, EmptyFileListIsValid) {
  const auto config = ParseEngineConfig(Document(kStorage, ""));
  ASSERT_TRUE(config.has_value());
  EXPECT_TRUE(config->files.empty());
}

TEST(ParseEngineConfigTest, RootNameIsFreeButStorageMustBeItsChild) {
  EXPECT_TRUE(ParseEngineConfig("<anything><storage save_base=\"a\" downurl=\"b\"/></anything>"));
  // The first "storage" child counts, even when a later one would be complete.
  EXPECT_FALSE(ParseEngineConfig(
      "<r><storage save_base=\"a\"/><storage save_base=\"a\" downurl=\"b\"/></r>"));
  // A grandchild is not a child.
  EXPECT_FALSE(ParseEngineConfig("<r><x><storage save_base=\"a\" downurl=\"b\"/></x></r>"));
  // Element and attribute names are case-sensitive.
  EXPECT_FALSE(ParseEngineConfig("<r><Storage save_base=\"a\" downurl=\"b\"/></r>"));
  EXPECT_FALSE(ParseEngineConfig("<r><storage Save_base=\"a\" downurl=\"b\"/></r>"));
}

TEST(ParseEngineConfigTest, EveryRejectionRuleGivesNothing) {
  const struct {
    const char* why;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"not XML", "this is not xml"},
      {"unclosed", "<xl><storage save_base=\"a\" downurl=\"b\">"},
      {"no root element", "<?xml version=\"1.0\"?><!-- nothing -->"},
      {"no storage", "<xl><store save_base=\"a\" downurl=\"b\"/></xl>"},
      {"no save_base", Document("downurl=\"b\"", "")},
      {"no downurl", Document("save_base=\"a\"", "")},
      {"file without name", Document(kStorage, "<file_hash crc=\"0x1\"/>")},
      {"file without crc", Document(kStorage, "<file_hash name=\"a\"/>")},
      {"capital X", Document(kStorage, "<file_hash name=\"a\" crc=\"0X1A2B\"/>")},
      {"decimal", Document(kStorage, "<file_hash name=\"a\" crc=\"6699\"/>")},
      {"bad after good",
       Document(kStorage, "<file_hash name=\"a\" crc=\"0x1\"/><file_hash name=\"b\" crc=\"zz\"/>")},
      {"embedded NUL", [] {
         const char text[] = "<xl><storage save_base=\"a\" downurl=\"b\"/>\0</xl>";
         return std::string(text, sizeof(text) - 1);
       }()},
  };
  for (const auto& c : cases) EXPECT_FALSE(ParseEngineConfig(c.text).has_value()) << c.why;
}

TEST(ParseEngineConfigTest, Sha256IsOptionalButMustBeWellFormed) {
  const std::string abc = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";
  const auto config = ParseEngineConfig(Document(
      kStorage, "<file_hash name=\"a\" crc=\"0x1\" sha256=\"" + abc +
                    "\"/><file_hash name=\"b\" crc=\"0x2\"/>"));
  ASSERT_TRUE(config.has_value());
  ASSERT_EQ(config->files.size(), 2u);
  EXPECT_EQ(config->files[0].sha256, BufferSha256("abc", 3));
  EXPECT_FALSE(config->files[1].sha256.has_value());
  for (const std::string& bad : {abc.substr(2), std::string(), "0x" + abc.substr(2)}) {
    EXPECT_FALSE(ParseEngineConfig(Document(kStorage, "<file_hash name=\"a\" crc=\"0x1\" sha256=\"" +
                                                          bad + "\"/>")))
        << bad;
  }
}

TEST(ParseEngineConfigTest, AttributeBytesAreKeptAsSent) {
  // Names stay UTF-8 (widened later); entities are decoded.
  const auto config = ParseEngineConfig(Document(
      "save_base=\"C:\\a&amp;b\" downurl=\"http://h/e.zip?a=1&amp;b=2\"",
      "<file_hash name=\"\xE5\xBC\x95\xE6\x93\x8E.dll\" crc=\"0x1\"/>"));
  ASSERT_TRUE(config.has_value());
  EXPECT_EQ(config->save_base_ansi, "C:\\a&b");
  EXPECT_EQ(config->download_url_utf8, "http://h/e.zip?a=1&b=2");
  EXPECT_EQ(config->files[0].name_utf8, "\xE5\xBC\x95\xE6\x93\x8E.dll");
}

}  // namespace
}  // namespace velko::bootstrap
