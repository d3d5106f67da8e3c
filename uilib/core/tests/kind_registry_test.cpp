// The core without the widgets library: this test links only the core, so
// the kind registry knows the base kind alone until a program registers more.
#include <gtest/gtest.h>

#include "tree_test_support.h"
#include "uilib/element_factory.h"

namespace uilib {
namespace {

using testing::ChildrenOf;
using testing::LibraryWithWindow;

class CountingKind : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  const char* KindName() const override { return "CountingKind"; }
};

std::unique_ptr<CUILibElement> MakeCounting(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib) {
  return std::make_unique<CountingKind>(parent, xml, lib);
}

TEST(KindRegistryTest, TheCoreAloneKnowsTheBaseKindAndTakesRegisteredOnes) {
  auto lib = LibraryWithWindow("<element id='a'/><label id='b'/><Counting id='c'><element/></Counting>");
  auto before = lib->BuildWindowTree("w");
  // Widget tags are unknown tags here: skipped with their subtrees.
  auto children = ChildrenOf(before.get());
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0]->Id(), "a");

  RegisterElementKind("counting", &MakeCounting);
  const size_t count = ElementKindCount();
  RegisterElementKind("COUNTING", &MakeCounting);  // the same tag again replaces
  EXPECT_EQ(ElementKindCount(), count);
  auto after = lib->BuildWindowTree("w");
  children = ChildrenOf(after.get());
  ASSERT_EQ(children.size(), 2u);
  EXPECT_NE(dynamic_cast<CountingKind*>(children[1]), nullptr);
  EXPECT_EQ(children[1]->Parent(), after.get());
  EXPECT_EQ(children[1]->Children().Count(), 1u);
}

}  // namespace
}  // namespace uilib
