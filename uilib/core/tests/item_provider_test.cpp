#include <gtest/gtest.h>
#include <string>
#include <tinyxml.h>
#include <vector>

#include "tree_test_support.h"
#include "uilib/error.h"

namespace uilib {
namespace {

using testing::ChildrenOf;
using testing::LibraryWithWindow;

// Answers with a freshly allocated document holding `items`, records the ids
// it was asked for, and can refuse or break the contract.
class FakeProvider : public IUILibItemProvider2 {
 public:
  enum class Mode { kItems, kNone, kSuccessWithoutElement, kOrphanElement };

  int GetItems(const char* elementId, TiXmlElement** first) override {
    asked.push_back(elementId);
    switch (mode) {
      case Mode::kNone:
        return 0;
      case Mode::kSuccessWithoutElement:
        *first = nullptr;
        return 1;
      case Mode::kOrphanElement:
        *first = new TiXmlElement("label");
        return 1;
      case Mode::kItems: {
        auto* doc = new TiXmlDocument();
        doc->Parse(items.c_str());
        *first = doc->RootElement();
        return 1;
      }
    }
    return 0;
  }
  void OnScrolledToEnd() override {}
  void OnScrolledToStart() override {}

  Mode mode = Mode::kItems;
  std::string items = "<element id='p1'/><label id='p2'/>";
  std::vector<std::string> asked;
};

TEST(ItemProviderTest, ProviderChildrenReplaceTheXmlChildren) {
  auto lib = LibraryWithWindow(R"(<element id="list" provider="UILIB::items"><element id="xml"/></element>)");
  FakeProvider provider;
  lib->RegisterHandler("items", static_cast<IUILibItemProvider*>(&provider));
  auto window = lib->BuildWindowTree("w");
  CUILibElement* list = ChildrenOf(window.get())[0];
  EXPECT_EQ(provider.asked, std::vector<std::string>{"list"});
  auto children = ChildrenOf(list);
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(children[0]->Id(), "p1");
  EXPECT_STREQ(children[1]->KindName(), "CUILibLabel");
  // The provider document was freed after building (leak-checked under ASan).
}

TEST(ItemProviderTest, ProviderThatReturnsZeroLeavesTheElementChildless) {
  auto lib = LibraryWithWindow(R"(<element provider="uilib::items"><element/><element/></element>)");
  FakeProvider provider;
  provider.mode = FakeProvider::Mode::kNone;
  lib->RegisterHandler("items", static_cast<IUILibItemProvider*>(&provider));
  auto window = lib->BuildWindowTree("w");
  EXPECT_EQ(ChildrenOf(window.get())[0]->Children().Count(), 0u);
}

TEST(ItemProviderTest, XmlChildrenAreUsedWithoutARegisteredProviderOrPrefix) {
  auto lib = LibraryWithWindow(R"(
      <element provider="uilib::unregistered"><element/></element>
      <element provider="items"><element/></element>
      <element provider="uilib::Items"><element/></element>)");
  FakeProvider provider;
  lib->RegisterHandler("items", static_cast<IUILibItemProvider*>(&provider));
  auto window = lib->BuildWindowTree("w");
  for (CUILibElement* e : ChildrenOf(window.get())) EXPECT_EQ(e->Children().Count(), 1u);
  EXPECT_TRUE(provider.asked.empty());  // handler names are case-sensitive
}

TEST(ItemProviderTest, SuccessWithoutAnElementRaisesEFail) {
  auto lib = LibraryWithWindow(R"(<element><element/><element provider="uilib::items"/></element>)");
  FakeProvider provider;
  provider.mode = FakeProvider::Mode::kSuccessWithoutElement;
  lib->RegisterHandler("items", static_cast<IUILibItemProvider*>(&provider));
  try {
    lib->BuildWindowTree("w");
    FAIL() << "expected CAtlException";
  } catch (const CAtlException& e) {
    EXPECT_EQ(e.m_hr, kEFail);
  }
  // The partly built tree was freed on the way out (leak-checked under ASan).
}

TEST(ItemProviderTest, LoneElementFromAProviderIsTakenOver) {
  auto lib = LibraryWithWindow(R"(<element provider="uilib::items"/>)");
  FakeProvider provider;
  provider.mode = FakeProvider::Mode::kOrphanElement;
  lib->RegisterHandler("items", static_cast<IUILibItemProvider*>(&provider));
  auto window = lib->BuildWindowTree("w");
  EXPECT_EQ(ChildrenOf(window.get())[0]->Children().Count(), 1u);
}

// Children are completely built, subtree included, before the next sibling.
TEST(ItemProviderTest, ConstructionIsDepthFirstInDocumentOrder) {
  auto lib = LibraryWithWindow(R"(
      <element id="p0" provider="uilib::items"/>
      <element id="x"><element id="p1" provider="uilib::items"/>
        <element><element id="p2" provider="uilib::items"/></element></element>
      <element id="p3" provider="uilib::items"/>)");
  FakeProvider provider;
  provider.mode = FakeProvider::Mode::kNone;
  lib->RegisterHandler("items", static_cast<IUILibItemProvider*>(&provider));
  lib->BuildWindowTree("w");
  EXPECT_EQ(provider.asked, (std::vector<std::string>{"p0", "p1", "p2", "p3"}));
}

TEST(ItemProviderTest, ExtensionIsFoundByADynamicTypeCheck) {
  FakeProvider provider;
  IUILibItemProvider* registered = &provider;
  EXPECT_EQ(dynamic_cast<IUILibItemProvider2*>(registered), &provider);
}

TEST(HandlerRegistryTest, RegisterReplacesAndNamesAreCaseSensitive) {
  CUILibImpl lib;
  int a = 0, b = 0;
  EXPECT_TRUE(lib.RegisterHandler("WelcomeEventHandler", &a));
  EXPECT_TRUE(lib.RegisterHandler("WelcomeEventHandler", &b));
  EXPECT_EQ(lib.FindHandler("WelcomeEventHandler"), &b);
  EXPECT_EQ(lib.FindHandler("welcomeeventhandler"), nullptr);
  EXPECT_TRUE(lib.UnregisterHandler("WelcomeEventHandler"));
  EXPECT_FALSE(lib.UnregisterHandler("WelcomeEventHandler"));
  EXPECT_EQ(lib.FindHandler("WelcomeEventHandler"), nullptr);
}

}  // namespace
}  // namespace uilib
