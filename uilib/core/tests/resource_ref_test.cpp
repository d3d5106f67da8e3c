#include "uilib/resource_ref.h"

#include <gtest/gtest.h>

namespace uilib {
namespace {

TEST(ResourceRefTest, NamedResourceOfTheClientModule) {
  auto ref = ParseResourceRef("res(self,PNG_BACK1,PNG)");
  ASSERT_TRUE(ref);
  EXPECT_TRUE(ref->self);
  EXPECT_EQ(ref->name, (ResourceId{std::nullopt, "PNG_BACK1"}));
  EXPECT_EQ(ref->type, (ResourceId{std::nullopt, "PNG"}));
}

TEST(ResourceRefTest, IntegerIdsAndStandardTypeNames) {
  auto ref = ParseResourceRef("res(SELF,int(101),rt_rcdata)");
  ASSERT_TRUE(ref);
  EXPECT_TRUE(ref->self);
  EXPECT_EQ(ref->name.number, 101);
  EXPECT_EQ(ref->type.number, 10);
  EXPECT_EQ(ParseResourceRef("res(x,a,RT_MANIFEST)")->type.number, 24);
}

TEST(ResourceRefTest, OtherModulesAndSurroundingText) {
  // As captured by the background pattern, with its trailing ";".
  auto ref = ParseResourceRef("res(skin.dll,LOGO,int(23));");
  ASSERT_TRUE(ref);
  EXPECT_FALSE(ref->self);
  EXPECT_EQ(ref->module, "skin.dll");
  EXPECT_EQ(ref->type.number, 23);
  EXPECT_FALSE(ParseResourceRef("file('a.png')"));
  EXPECT_FALSE(ParseResourceRef("res(self,a b,PNG)"));
}

}  // namespace
}  // namespace uilib
