#include "uilib/skin_document.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace uilib {
namespace {

TEST(SkinDocumentTest, RootIsUilibInAnyCase) {
  SkinDocument doc;
  EXPECT_EQ(doc.LoadFromMemory("<UILIB><window id='a'/></UILIB>"), SkinLoadResult::kOk);
  EXPECT_TRUE(doc.Loaded());
}

TEST(SkinDocumentTest, FailedLoadsLeaveNoDocument) {
  SkinDocument doc;
  ASSERT_EQ(doc.LoadFromMemory("<uilib/>"), SkinLoadResult::kOk);
  EXPECT_EQ(doc.LoadFromMemory("<skin><window id='a'/></skin>"), SkinLoadResult::kWrongRoot);
  EXPECT_FALSE(doc.Loaded());
  EXPECT_NE(doc.LastError().find("<skin>"), std::string::npos);

  ASSERT_EQ(doc.LoadFromMemory("<uilib/>"), SkinLoadResult::kOk);
  EXPECT_EQ(doc.LoadFromMemory("<uilib><window></uilib>"), SkinLoadResult::kXmlError);
  EXPECT_FALSE(doc.Loaded());
  EXPECT_EQ(doc.LoadFromMemory(""), SkinLoadResult::kXmlError);
  EXPECT_EQ(doc.LoadFromMemory("<!-- only a comment -->"), SkinLoadResult::kWrongRoot);
  EXPECT_EQ(doc.LoadFromFile("no/such/skin.xml"), SkinLoadResult::kNotFound);
  EXPECT_EQ(doc.FindWindow("a"), nullptr);
}

TEST(SkinDocumentTest, WindowsAreLevelOneWindowTagsFoundByIdInAnyCase) {
  SkinDocument doc;
  ASSERT_EQ(doc.LoadFromMemory(R"(<uilib>
      <Window id="Upper"/>
      <other><window id="Nested"/></other>
      <window/>
      <window id="Welcome" n="1"/>
      <window id="WELCOME" n="2"/>
    </uilib>)"),
            SkinLoadResult::kOk);
  const TiXmlElement* welcome = doc.FindWindow("welcome");
  ASSERT_NE(welcome, nullptr);
  EXPECT_STREQ(welcome->Attribute("n"), "1");  // the first match wins
  EXPECT_EQ(doc.FindWindow("Upper"), nullptr);  // the tag is matched exactly
  EXPECT_EQ(doc.FindWindow("Nested"), nullptr);
  EXPECT_EQ(doc.FindWindow(""), nullptr);
}

}  // namespace
}  // namespace uilib
