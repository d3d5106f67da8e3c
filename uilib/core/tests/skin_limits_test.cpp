// Skins beyond the limits of skin_limits.h: refused by the load, or failing
// through the error path while a tree is built, never by overflowing the
// stack or exhausting memory.
#include <gtest/gtest.h>

#include <string>
#include <tinyxml.h>

#include "tree_test_support.h"
#include "uilib/error.h"
#include "uilib/skin_limits.h"

namespace uilib {
namespace {

std::string Nested(int levels, const std::string& innermost = "") {
  std::string text;
  for (int i = 0; i < levels; ++i) text += "<element>";
  text += innermost;
  for (int i = 0; i < levels; ++i) text += "</element>";
  return text;
}

std::string Skin(const std::string& window_body) { return "<uilib><window id='w'>" + window_body + "</window></uilib>"; }

// The HRESULT the build failed with, or 0 when it built.
std::int32_t BuildFailure(CUILibImpl& lib) {
  try {
    lib.BuildWindowTree("w");
  } catch (const CAtlException& e) {
    return e.m_hr;
  }
  return 0;
}

TEST(SkinLimitsTest, DocumentsBeyondALimitAreRefusedByTheLoad) {
  CUILibImpl lib;
  // uilib and window take two of the 256 levels.
  ASSERT_EQ(lib.LoadSkinFromMemory(Skin(Nested(kMaxSkinDepth - 2))), SkinLoadResult::kOk);
  {
    // The deepest tree allowed is built and laid out on an ordinary stack.
    auto window = lib.BuildWindowTree("w");
    ASSERT_TRUE(window);
    window->Layout(RectF{0, 0, 800, 600}, nullptr, nullptr);
  }
  EXPECT_EQ(lib.LoadSkinFromMemory(Skin(Nested(kMaxSkinDepth - 1))), SkinLoadResult::kLimitExceeded);
  // Far too deep for a recursive parser: refused before TinyXML reads it.
  EXPECT_EQ(lib.LoadSkinFromMemory(Skin(Nested(1000000))), SkinLoadResult::kLimitExceeded);
  // Comments, CDATA, quoted '>' and empty elements do not nest.
  std::string flat = "<!-- <a><a><a> -->";
  for (int i = 0; i < 300; ++i) flat += "<element tip='>x<y>'/><![CDATA[<a>]]>";
  EXPECT_EQ(lib.LoadSkinFromMemory(Skin(flat)), SkinLoadResult::kOk);

  std::string many;
  for (std::size_t i = 0; i < kMaxSkinElements; ++i) many += "<e/>";
  EXPECT_EQ(lib.LoadSkinFromMemory(Skin(many)), SkinLoadResult::kLimitExceeded);  // with window and root

  const std::string long_value(kMaxAttributeBytes + 1, 'x');
  EXPECT_EQ(lib.LoadSkinFromMemory(Skin("<label value='" + long_value + "'/>")), SkinLoadResult::kLimitExceeded);
  EXPECT_FALSE(lib.Document().Loaded());
  EXPECT_NE(lib.Document().LastError().find("attribute"), std::string::npos);
}

TEST(SkinLimitsTest, DupBeyondTheElementBudgetFailsTheBuild) {
  CUILibImpl lib;
  ASSERT_EQ(lib.LoadSkinFromMemory(Skin("<element dup='2000000000'/>")), SkinLoadResult::kOk);
  EXPECT_EQ(BuildFailure(lib), kEInvalidArg);
  // Nested copies multiply: 400 x 400 elements.
  ASSERT_EQ(lib.LoadSkinFromMemory(Skin("<element dup='399'><element dup='399'/></element>")), SkinLoadResult::kOk);
  EXPECT_EQ(BuildFailure(lib), kEInvalidArg);
}

TEST(SkinLimitsTest, CopiesOfLongAttributesDeepDownFailTheBuild) {
  // Each of the 200 elements above the label keeps its own copy of the
  // 512 KB value: 100 MB of copies from a 0.5 MB document.
  CUILibImpl lib;
  const std::string value(512 * 1024, 'x');
  ASSERT_EQ(lib.LoadSkinFromMemory(Skin(Nested(200, "<label value='" + value + "'/>"))), SkinLoadResult::kOk);
  EXPECT_EQ(BuildFailure(lib), kEInvalidArg);
  ASSERT_EQ(lib.LoadSkinFromMemory(Skin(Nested(20, "<label value='" + value + "'/>"))), SkinLoadResult::kOk);
  EXPECT_EQ(BuildFailure(lib), 0);
}

// A provider whose items name the provider again.
class SelfReferringProvider : public IUILibItemProvider {
 public:
  int GetItems(const char*, TiXmlElement** first) override {
    ++calls;
    auto* doc = new TiXmlDocument();
    doc->Parse("<element id='again' provider='uilib::items'/>");
    *first = doc->RootElement();
    return 1;
  }
  int calls = 0;
};

TEST(SkinLimitsTest, RepeatedProviderReferencesStopAtTheDepthLimit) {
  auto lib = testing::LibraryWithWindow("<element id='top' provider='uilib::items'/>");
  ASSERT_TRUE(lib);
  SelfReferringProvider provider;
  lib->RegisterHandler("items", static_cast<IUILibItemProvider*>(&provider));
  EXPECT_EQ(BuildFailure(*lib), kEInvalidArg);
  EXPECT_EQ(provider.calls, kMaxSkinDepth - 1);
}

TEST(SkinLimitsTest, ClientXmlTooDeepForItsPlaceIsRefused) {
  auto lib = testing::LibraryWithWindow(Nested(100));
  ASSERT_TRUE(lib);
  auto window = lib->BuildWindowTree("w");
  ASSERT_TRUE(window);
  CUILibElement* deepest = window.get();
  while (deepest->Children().First() != nullptr) deepest = deepest->Children().First();
  TiXmlDocument fits;
  fits.Parse(Nested(kMaxSkinDepth - 101).c_str());
  deepest->AppendChildren(fits.RootElement());  // down to exactly the limit
  while (deepest->Children().First() != nullptr) deepest = deepest->Children().First();
  TiXmlElement one_more("element");
  EXPECT_THROW(deepest->AppendChildren(&one_more), CAtlException);
  EXPECT_THROW(deepest->SetOverlay(&one_more), CAtlException);
  TiXmlDocument too_deep;
  too_deep.Parse(Nested(kMaxSkinDepth).c_str());
  EXPECT_THROW(window->PrependChildren(too_deep.RootElement()), CAtlException);
  EXPECT_EQ(window->Children().Count(), 1u);
}

}  // namespace
}  // namespace uilib
