// The installer's two windows lay out to fixed rectangles. Natively the label
// widths come from the deterministic text measurer, under Wine from GDI+.
#include <gtest/gtest.h>

#include <cmath>

#include "layout_test_support.h"

namespace uilib {
namespace {

using testing::ChildrenOf;

class InstallerLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(lib_.LoadSkinFile(VELKO_INSTALLER_SKIN_XML), SkinLoadResult::kOk);
  }
  std::unique_ptr<CUILibWindow> LaidOut(const char* id) {
    auto window = lib_.BuildWindowTree(id);
    if (window) window->Layout(RectF{0, 0, 608, 322}, nullptr, nullptr);
    return window;
  }
  static std::vector<RectF> Rects(const std::vector<CUILibElement*>& elements) {
    std::vector<RectF> rects;
    for (auto* e : elements) rects.push_back(e->Rect());
    return rects;
  }
  CUILibImpl lib_;
};

TEST_F(InstallerLayoutTest, WelcomeWindow) {
  auto window = LaidOut("Welcome");
  ASSERT_TRUE(window);
  auto top = ChildrenOf(window.get());
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(top[0]->Rect(), (RectF{0, 0, 608, 322}));
  auto rows = ChildrenOf(top[0]);
  EXPECT_EQ(Rects(rows), (std::vector<RectF>{{0, 0, 608, 20},
                                             {0, 20, 22, 32},
                                             {22, 20, 586, 32},
                                             {0, 52, 608, 185},
                                             {0, 237, 232, 32},
                                             {232, 237, 130, 32},
                                             {362, 237, 246, 32},
                                             {0, 269, 608, 53}}));
  EXPECT_EQ(Rects(ChildrenOf(rows[2])), (std::vector<RectF>{{22, 20, 29, 32},
                                                            {51, 20, 200, 32},
                                                            {251, 20, 280, 32},
                                                            {531, 20, 16, 16},
                                                            {547, 20, 10, 16},
                                                            {557, 20, 16, 16}}));
  auto consent = ChildrenOf(rows[7]);
  ASSERT_EQ(consent.size(), 5u);
  EXPECT_EQ(consent[0]->Rect(), (RectF{0, 269, 608, 15}));
  EXPECT_EQ(consent[1]->Rect(), (RectF{0, 284, 25, 20}));
  EXPECT_EQ(consent[2]->Rect(), (RectF{25, 284, 15, 20}));
  EXPECT_EQ(ChildrenOf(consent[2])[0]->Rect(), (RectF{25, 286, 15, 15}));

  // The label and the anchor take their measured widths, side by side.
  const RectF label = consent[3]->Rect();
  const RectF anchor = consent[4]->Rect();
  EXPECT_EQ(label.x, 40);
  EXPECT_EQ(label.y, 284);
  EXPECT_EQ(label.h, 20);
  EXPECT_EQ(anchor.x, label.x + label.w);
  EXPECT_EQ(anchor.y, 284);
  EXPECT_EQ(anchor.h, 20);
#ifdef _WIN32
  // GDI+ with the prefix's replacement for 微软雅黑: whole pixels for the
  // label (rounded up), a few dozen pixels for each text.
  EXPECT_EQ(label.w, std::ceil(label.w));
  EXPECT_GT(label.w, 40);
  EXPECT_LT(label.w, 200);
  EXPECT_GT(anchor.w, 40);
  EXPECT_LT(anchor.w, 200);
#else
  EXPECT_EQ(label.w, 96);   // two blanks of 6 and seven characters of 12
  EXPECT_EQ(anchor.w, 96);  // eight characters of 12
#endif
}

TEST_F(InstallerLayoutTest, InstallWindow) {
  auto window = LaidOut("Install");
  ASSERT_TRUE(window);
  auto rows = ChildrenOf(ChildrenOf(window.get())[0]);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(Rects(rows), (std::vector<RectF>{{0, 0, 608, 22},
                                             {0, 22, 12, 16},
                                             {12, 22, 596, 16},
                                             {0, 38, 608, 183},
                                             {0, 221, 608, 25},
                                             {40, 246, 528, 25},
                                             {40, 282, 528, 25}}));
  EXPECT_EQ(Rects(ChildrenOf(rows[2])), (std::vector<RectF>{{12, 22, 520, 16},
                                                            {532, 22, 16, 16},
                                                            {548, 22, 10, 16},
                                                            {558, 22, 16, 16}}));
  std::vector<IUILibElement*> progress;
  ASSERT_EQ(window->FindElementsById(progress, "install-progress").size(), 1u);
  EXPECT_EQ(static_cast<CUILibElement*>(progress[0])->Rect(), (RectF{40, 246, 300, 25}));
  std::vector<IUILibElement*> bar;
  ASSERT_EQ(window->FindElementsById(bar, "circle-proc").size(), 1u);
  EXPECT_EQ(static_cast<CUILibElement*>(bar[0])->Rect(), (RectF{40, 282, 520, 3}));
}

}  // namespace
}  // namespace uilib
