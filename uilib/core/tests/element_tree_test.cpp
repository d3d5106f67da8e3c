#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <typeindex>
#include <typeinfo>

#include "tree_test_support.h"
#include "uilib/element_factory.h"
#include "uilib/widgets/ad.h"
#include "uilib/widgets/iframe.h"
#include "uilib/widgets/image.h"
#include "uilib/widgets/label.h"
#include "uilib/widgets/native_controls.h"
#include "uilib/widgets/pages.h"
#include "uilib/widgets/progress.h"
#include "uilib/widgets/scroll_bar.h"
#include "uilib/widgets/virtual_button.h"

namespace uilib {
namespace {

using testing::ChildrenOf;
using testing::LibraryWithWindow;

TEST(ElementTreeTest, EveryTagOfTheKindTableCreatesItsClassInAnyCase) {
  struct Kind {
    const char* tag;
    std::type_index type;
  };
  const Kind kinds[] = {
      {"element", typeid(CUILibElement)},
      {"LABEL", typeid(CUILibLabel)},
      {"Anchor", typeid(CUILibAnchor)},
      {"virtualbtn", typeid(CUILibVirtualBtn)},
      {"virtualcheckbox", typeid(CUILibVirtualCheckBox)},
      {"virtualprocessbar", typeid(CUILibVirtualProcessBar)},
      {"virtualcircleprocess", typeid(CUILibVirtualCircleProcess)},
      {"processbar", typeid(CUILibProcessBar)},
      {"image", typeid(CUILibImage)},
      {"scrollbar", typeid(CUILibScrollBar)},
      {"iframe", typeid(CUILibIFrame)},
      {"button", typeid(CUILibButton)},
      {"checkbox", typeid(CUILibCheckBox)},
      {"comboboxex", typeid(CUILibComboBoxEx)},
      {"richedit", typeid(CUILibRichEdit)},
      {"pageframe", typeid(CUILibPageFrame)},
      {"page", typeid(CUILibPage)},
      {"ad", typeid(CUILibAd)},
  };
  // Programs may register kinds of their own besides the library's.
  ASSERT_GE(ElementKindCount(), std::size(kinds));
  std::string body;
  for (size_t i = 0; i < std::size(kinds); ++i) {
    body += std::string("<") + kinds[i].tag + " id='k" + std::to_string(i) + "'><element/></" + kinds[i].tag + ">";
  }
  auto lib = LibraryWithWindow(body);
  auto window = lib->BuildWindowTree("w");
  ASSERT_TRUE(window);
  auto children = ChildrenOf(window.get());
  ASSERT_EQ(children.size(), std::size(kinds));
  for (size_t i = 0; i < children.size(); ++i) {
    CUILibElement* child = children[i];
    SCOPED_TRACE(kinds[i].tag);
    // The class itself, built by the base construction from its own XML copy
    // under this parent and library, with its subtree.
    EXPECT_EQ(std::type_index(typeid(*child)), kinds[i].type);
    EXPECT_EQ(child->Parent(), window.get());
    EXPECT_EQ(child->Library(), lib.get());
    EXPECT_EQ(child->Tag(), kinds[i].tag);
    EXPECT_EQ(child->Id(), "k" + std::to_string(i));
    EXPECT_EQ(child->Children().Count(), 1u);
  }
}

TEST(ElementTreeTest, UnknownTagsAndNestedWindowsAreSkippedWithTheirSubtrees) {
  auto lib = LibraryWithWindow(R"(
      <element id="a"/>
      <div id="b"><element id="inside-div"/></div>
      <window id="c"><element id="inside-window"/></window>
      <!-- <element id="commented"/> -->
      <element id="d"/>)");
  auto window = lib->BuildWindowTree("w");
  auto children = ChildrenOf(window.get());
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(children[0]->Id(), "a");
  EXPECT_EQ(children[1]->Id(), "d");
}

TEST(ElementTreeTest, DupCreatesExtraSiblingsEachWithItsOwnXmlCopy) {
  auto lib = LibraryWithWindow(R"(
      <element id="first"/>
      <element id="row" dup="2"><label/></element>
      <div dup="3"/>
      <element id="none" dup="-1"/>
      <element id="text" dup="x"/>
      <element id="last"/>)");
  auto window = lib->BuildWindowTree("w");
  auto children = ChildrenOf(window.get());
  ASSERT_EQ(children.size(), 7u);
  const char* ids[] = {"first", "row", "row", "row", "none", "text", "last"};
  for (size_t i = 0; i < children.size(); ++i) EXPECT_EQ(children[i]->Id(), ids[i]);
  EXPECT_NE(children[1]->Xml(), children[2]->Xml());
  EXPECT_NE(children[2]->Xml(), children[3]->Xml());
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(children[i]->Children().Count(), 1u);
}

TEST(ElementTreeTest, CommonAttributes) {
  auto lib = LibraryWithWindow(R"(
      <element id="m" movable="TRUE" disabled="True" tip="提示" style="width:5px"/>
      <element movable="yes" disabled="1"/>)");
  auto window = lib->BuildWindowTree("w");
  auto children = ChildrenOf(window.get());
  ASSERT_EQ(children.size(), 2u);
  EXPECT_TRUE(children[0]->IsMovable());
  EXPECT_TRUE(children[0]->IsDisabled());
  EXPECT_EQ(children[0]->Tip(), L"提示");
  EXPECT_EQ(children[0]->Style().Values().width, StyleLength::Pixels(5));
  EXPECT_EQ(children[1]->Id(), "");
  EXPECT_FALSE(children[1]->IsMovable());
  EXPECT_FALSE(children[1]->IsDisabled());
  EXPECT_EQ(children[1]->Tip(), L"");
}

TEST(ElementTreeTest, StoreObjectReceivesTheElementPointerOnlyForAValidAddress) {
  IUILibElement* target = nullptr;
  char address[32];
  std::snprintf(address, sizeof address, "%p", static_cast<void*>(&target));
  auto lib = LibraryWithWindow(std::string("<label id='x' store-object='") + address +
                               "'/><element store-object='0'/><element store-object='zz'/>");
  auto window = lib->BuildWindowTree("w");
  auto children = ChildrenOf(window.get());
  EXPECT_EQ(target, static_cast<IUILibElement*>(children[0]));
  EXPECT_STREQ(target->GetId(), "x");
}

TEST(ElementTreeTest, NodeUserDataBecomesTheInitialUserData) {
  TiXmlDocument doc;
  doc.Parse("<window><element/><element/></window>");
  int marker = 0;
  doc.RootElement()->FirstChildElement()->SetUserData(&marker);
  CUILibWindow window(doc.RootElement(), nullptr);
  auto children = ChildrenOf(&window);
  EXPECT_EQ(children[0]->GetUserData(), &marker);
  EXPECT_EQ(children[1]->GetUserData(), nullptr);
}

TEST(ElementTreeTest, FindElementsByIdIsCaseInsensitivePreOrderAndExcludesSelf) {
  auto lib = LibraryWithWindow(R"(
      <element id="a" n="1"><element id="A" n="2"/></element>
      <element id="b"><element id="a" n="3"/></element>)");
  auto window = lib->BuildWindowTree("w");
  std::vector<IUILibElement*> found;
  window->FindElementsById(found, "a");
  ASSERT_EQ(found.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(static_cast<CUILibElement*>(found[i])->Xml()->Attribute("n"), std::to_string(i + 1));
  }
  std::vector<IUILibElement*> none;
  EXPECT_TRUE(static_cast<CUILibElement*>(found[1])->FindElementsById(none, "a").empty());
  EXPECT_EQ(found[1]->GetRoot(), static_cast<IUILibElement*>(window.get()));
}

TEST(ElementTreeTest, EnableAppliesToTheSubtreeAndReportsThePreviousState) {
  auto lib = LibraryWithWindow(R"(<element id="p" disabled="true"><element><element/></element></element>)");
  auto window = lib->BuildWindowTree("w");
  CUILibElement* p = ChildrenOf(window.get())[0];
  EXPECT_EQ(p->Enable(1), 0);
  CUILibElement* grandchild = ChildrenOf(ChildrenOf(p)[0])[0];
  EXPECT_FALSE(grandchild->IsDisabled());
  EXPECT_EQ(p->Enable(0), 1);
  EXPECT_TRUE(grandchild->IsDisabled());
}

TEST(ElementTreeTest, SetStyleMergesAndRewritesTheXmlCopyOnly) {
  auto lib = LibraryWithWindow(R"(<element style="width:50px;height:20px;"/>)");
  auto window = lib->BuildWindowTree("w");
  CUILibElement* e = ChildrenOf(window.get())[0];
  e->SetStyle("height:30px;");
  EXPECT_EQ(e->Style().Values().width, StyleLength::Pixels(50));
  EXPECT_EQ(e->Style().Values().height, StyleLength::Pixels(30));
  EXPECT_STREQ(e->Xml()->Attribute("style"), "height:30px;");
  // The parsed document keeps its text.
  EXPECT_STREQ(lib->Document().FindWindow("w")->FirstChildElement()->Attribute("style"),
               "width:50px;height:20px;");
  e->SetStyle(nullptr);
  EXPECT_STREQ(e->Xml()->Attribute("style"), "height:30px;");
}

TEST(ElementTreeTest, AppendPrependOverlayAndRebuild) {
  auto lib = LibraryWithWindow(R"(<element id="old"/>)");
  auto window = lib->BuildWindowTree("w");
  TiXmlDocument items;
  items.Parse("<r><element id='A'/><bogus/><label id='B'/></r>");
  const TiXmlElement* chain = items.RootElement()->FirstChildElement();
  window->PrependChildren(chain);
  window->AppendChildren(chain);
  std::vector<std::string> ids;
  for (auto* c : ChildrenOf(window.get())) ids.push_back(c->Id());
  EXPECT_EQ(ids, (std::vector<std::string>{"B", "A", "old", "A", "B"}));

  EXPECT_EQ(window->SetOverlay(items.RootElement()), 0);
  EXPECT_EQ(window->SetOverlay(chain), 1);
  EXPECT_EQ(window->Overlay()->Id(), "A");
  window->RemoveOverlay();
  EXPECT_EQ(window->Overlay(), nullptr);

  window->Rebuild(0);  // back to the children of the XML copy
  ASSERT_EQ(window->Children().Count(), 1u);
  EXPECT_EQ(window->Children().First()->Id(), "old");
}

}  // namespace
}  // namespace uilib
