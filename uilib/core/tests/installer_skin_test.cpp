// The installer's skin document, as the build configured it.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include "tree_test_support.h"
#include "uilib/iuilib_kinds.h"

namespace uilib {
namespace {

using testing::ChildrenOf;

std::vector<std::string> Kinds(const std::vector<CUILibElement*>& elements) {
  std::vector<std::string> kinds;
  for (auto* e : elements) kinds.push_back(e->KindName());
  return kinds;
}

class InstallerSkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lib_.LoadSkinFromFile(std::filesystem::path(VELKO_INSTALLER_SKIN_XML).wstring().c_str()));
  }
  CUILibImpl lib_;
};

TEST_F(InstallerSkinTest, WelcomeWindowStructure) {
  IUILibWindow* created = lib_.CreateWindowById("welcome", nullptr, nullptr, nullptr);
  ASSERT_NE(created, nullptr);
  auto* window = dynamic_cast<CUILibWindow*>(created);
  EXPECT_EQ(window->Style().Values().background_image->reference, "res(self,PNG_BACK1,PNG)");
  auto top = ChildrenOf(window);
  ASSERT_EQ(top.size(), 1u);
  auto rows = ChildrenOf(top[0]);
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(Kinds(ChildrenOf(rows[2])),
            (std::vector<std::string>{"CUILibImage", "CUILibLabel", "CUILibElement", "CUILibVirtualBtn",
                                      "CUILibElement", "CUILibVirtualBtn"}));
  EXPECT_EQ(rows[5]->Id(), "install-btn");
  EXPECT_EQ(Kinds(ChildrenOf(rows[7])), (std::vector<std::string>{"CUILibElement", "CUILibElement",
                                                                   "CUILibElement", "CUILibLabel",
                                                                   "CUILibAnchor"}));
  for (const char* id : {"install-btn", "close-btn", "min-btn", "verify-checkbox"}) {
    std::vector<IUILibElement*> found;
    EXPECT_EQ(window->FindElementsById(found, id).size(), 1u) << id;
  }

  const StyleValues& label = ChildrenOf(rows[2])[1]->Style().Values();
  EXPECT_EQ(label.font, (FontSpec{"微软雅黑", 16, kFontRegular}));
  EXPECT_EQ(label.color, 0xFE5B5B5Bu);
  auto consent = ChildrenOf(rows[7]);
  EXPECT_EQ(consent[2]->Style().Values().padding, (BoxEdges{0, 2, 0, 3}));
  const StyleValues& anchor = consent[4]->Style().Values();
  EXPECT_TRUE(anchor.width.is_auto);
  EXPECT_EQ(anchor.font, (FontSpec{"微软雅黑", 12, kFontUnderline}));
  EXPECT_EQ(anchor.hovered_font, anchor.font);
  EXPECT_EQ(anchor.hovered_color, 0xFE956A08u);

  // The licence link's host is filled in by the build.
  std::string href = consent[4]->Xml()->Attribute("href");
  EXPECT_EQ(href.rfind("http://", 0), 0u);
  EXPECT_EQ(href.find('@'), std::string::npos);
  EXPECT_NE(href.find("/?ct--notice--ac--show--id--13/"), std::string::npos);
}

TEST_F(InstallerSkinTest, InstallWindowStructure) {
  auto window = lib_.BuildWindowTree("Install");
  ASSERT_TRUE(window);
  auto rows = ChildrenOf(ChildrenOf(window.get())[0]);
  ASSERT_EQ(rows.size(), 7u);  // the commented-out circular progress adds nothing
  EXPECT_EQ(rows[6]->Style().Values().margin, (BoxEdges{40, 11, 40, 11}));

  std::vector<IUILibElement*> progress, bars;
  window->FindElementsById(progress, "install-progress");
  window->FindElementsById(bars, "circle-proc");
  ASSERT_EQ(progress.size(), 1u);
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_STREQ(static_cast<CUILibElement*>(bars[0])->KindName(), "CUILibVirtualProcessBar");
  EXPECT_EQ(static_cast<CUILibElement*>(progress[0])->Style().Values().font,
            (FontSpec{"微软雅黑", 14, kFontRegular}));
}

TEST_F(InstallerSkinTest, EveryPlainElementIsMovableAndNoInteractiveOneIs) {
  for (const char* id : {"Welcome", "Install"}) {
    auto window = lib_.BuildWindowTree(id);
    std::vector<CUILibElement*> pending = ChildrenOf(window.get());
    while (!pending.empty()) {
      CUILibElement* e = pending.back();
      pending.pop_back();
      EXPECT_EQ(e->IsMovable(), e->Tag() == "element") << id << " " << e->Tag() << " " << e->Id();
      for (auto* c : ChildrenOf(e)) pending.push_back(c);
    }
  }
}

TEST_F(InstallerSkinTest, UnknownWindowIdGivesNoWindow) {
  EXPECT_EQ(lib_.CreateWindowById("Uninstall", nullptr, nullptr, nullptr), nullptr);
}

}  // namespace
}  // namespace uilib
