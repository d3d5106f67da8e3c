// The widget kinds driven through their element operations: mouse routing
// over real trees with synthetic input, the repaint requests they send, and
// the client interfaces (IUILibLabel, IUILibCheckBox, IUILibProcess).
#include <gtest/gtest.h>

#include "../../core/tests/layout_test_support.h"
#include "../../core/tests/recording_window_services.h"
#include "uilib/button_state.h"
#include "uilib/widgets/label.h"
#include "uilib/widgets/progress.h"
#include "uilib/widgets/virtual_button.h"

namespace uilib {
namespace {

std::vector<std::string> g_events;
int g_check_seen_by_click = -1;

int Record(const char* event, IUILibElement* element) {
  g_events.push_back(std::string(event) + ":" + element->GetId());
  if (auto* box = dynamic_cast<IUILibCheckBox*>(element)) g_check_seen_by_click = box->GetCheck();
  return 1;
}

class WidgetEventsTest : public ::testing::Test {
 protected:
  void Build(const std::string& body) {
    g_events.clear();
    g_check_seen_by_click = -1;
    SetLeftButtonDown(false);
    w_ = testing::LayOut(body, 200, 100);
    ASSERT_TRUE(w_.window);
    w_.lib->RegisterHandler("R", reinterpret_cast<void*>(&Record));
    services_ = std::make_unique<testing::RecordingServices>(w_.window.get());
  }
  MouseRouter& Router() { return services_->router; }
  std::vector<std::optional<RepaintRect>>& Repaints() { return services_->repaints; }
  template <typename Kind>
  Kind* As(const char* id) {
    return dynamic_cast<Kind*>(w_.ById(id));
  }

  testing::LaidOutWindow w_;
  std::unique_ptr<testing::RecordingServices> services_;
};

constexpr const char* kButton =
    "<virtualbtn id='b' onclick='uilib::R' onmouseover='uilib::R' onmouseout='uilib::R' "
    "texture='color:(rgb(1,1,1)rgb(2,2,2))' style='width:40px;height:20px;'/>";

TEST_F(WidgetEventsTest, ButtonHoverPressAndClick) {
  Build(kButton);
  auto* button = As<CUILibVirtualBtn>("b");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Colours().size(), 2u);

  Router().OnMouseMove({5, 5});
  // Entering keeps the hover without firing onmouseover and repaints grown.
  EXPECT_TRUE(button->IsHovered());
  EXPECT_EQ(button->CurrentState(), kStateHovered);
  EXPECT_TRUE(g_events.empty());
  EXPECT_EQ(Repaints().back(), (RepaintRect{0, 0, 41, 21}));

  Router().OnButtonDown({5, 5});
  EXPECT_EQ(button->CurrentState(), kStatePressed);
  Router().OnButtonUp({6, 6});
  EXPECT_EQ(button->CurrentState(), kStateHovered);
  EXPECT_EQ(g_events, (std::vector<std::string>{"onclick:b"}));

  // Leaving while enabled repaints and fires no onmouseout.
  const size_t before = Repaints().size();
  Router().OnMouseLeaveWindow();
  EXPECT_FALSE(button->IsHovered());
  EXPECT_EQ(Repaints().size(), before + 1);
  EXPECT_EQ(g_events, (std::vector<std::string>{"onclick:b"}));
}

TEST_F(WidgetEventsTest, PressMoveOffAndReleaseIsNoClick) {
  Build(std::string(kButton) + "<element id='other' style='width:40px;height:20px;'/>");
  auto* button = As<CUILibVirtualBtn>("b");
  Router().OnMouseMove({5, 5});
  Router().OnButtonDown({5, 5});
  EXPECT_EQ(button->CurrentState(), kStatePressed);
  Router().OnMouseMove({50, 5});
  // The hover is gone, so the held button shows the normal look.
  EXPECT_EQ(button->CurrentState(), kStateNormal);
  Router().OnButtonUp({50, 5});
  EXPECT_TRUE(g_events.empty());
}

TEST_F(WidgetEventsTest, DisablingAHoveredButtonLeavesNoStaleHover) {
  Build(kButton);
  auto* button = As<CUILibVirtualBtn>("b");
  Router().OnMouseMove({5, 5});
  ASSERT_TRUE(button->IsHovered());
  EXPECT_EQ(button->Enable(0), 1);
  EXPECT_EQ(button->CurrentState(), kStateDisabled);
  EXPECT_FALSE(button->IsHovered());
  EXPECT_EQ(button->Enable(1), 0);
  EXPECT_EQ(button->CurrentState(), kStateNormal);

  // A disabled button's press sends no repaint, and its leave is the base's
  // (onmouseout fires).
  button->Enable(0);
  button->SetHovered(true);
  const size_t before = Repaints().size();
  button->OnLButtonDown({5, 5});
  EXPECT_EQ(Repaints().size(), before);
  button->OnMouseLeave();
  EXPECT_EQ(g_events, (std::vector<std::string>{"onmouseout:b"}));
}

TEST_F(WidgetEventsTest, CheckBoxTogglesBeforeOnClick) {
  Build("<virtualcheckbox id='c' checked='TRUE' onclick='uilib::R' onmouseout='uilib::R' "
        "style='width:15px;height:15px;'/>");
  auto* box = As<CUILibVirtualCheckBox>("c");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->GetCheck(), 1);
  Router().OnMouseMove({3, 3});
  Router().OnButtonDown({3, 3});
  EXPECT_EQ(box->CurrentState(), kStatePressed);
  Router().OnButtonUp({3, 3});
  EXPECT_EQ(box->GetCheck(), 0);
  EXPECT_EQ(g_check_seen_by_click, 0);
  Router().OnButtonDown({3, 3});
  Router().OnButtonUp({3, 3});
  EXPECT_EQ(g_check_seen_by_click, 1);

  // Unlike the button, the box fires onmouseout when the pointer leaves.
  g_events.clear();
  Router().OnMouseLeaveWindow();
  EXPECT_EQ(g_events, (std::vector<std::string>{"onmouseout:c"}));

  // Disabled: the release does not toggle.
  box->Enable(0);
  box->OnLButtonUp({3, 3});
  EXPECT_EQ(box->GetCheck(), 1);
}

TEST_F(WidgetEventsTest, CheckBoxStoresTheValueAsGiven) {
  Build("<virtualcheckbox id='c' checked='yes' style='width:15px;height:15px;'/>");
  auto* box = As<CUILibVirtualCheckBox>("c");
  EXPECT_EQ(box->GetCheck(), 0);
  box->SetCheck(2);
  EXPECT_EQ(box->GetCheck(), 2);
  EXPECT_EQ(Repaints().back(), (RepaintRect{0, 0, 16, 16}));
  // The release inverts any nonzero value to 0.
  box->OnLButtonUp({1, 1});
  EXPECT_EQ(box->GetCheck(), 0);
}

TEST_F(WidgetEventsTest, AnchorHoverRepaintsTracksAndFires) {
  Build("<anchor id='a' value='licence' onmouseover='uilib::R' onmouseout='uilib::R' "
        "style='width:60px;height:20px;'/>");
  auto* anchor = As<CUILibAnchor>("a");
  ASSERT_NE(anchor, nullptr);
  EXPECT_EQ(anchor->CursorKind(), Cursor::kHand);
  Router().OnMouseMove({5, 5});
  EXPECT_TRUE(anchor->IsHovered());
  EXPECT_EQ(services_->host.cursor_kind, Cursor::kHand);
  EXPECT_EQ(Repaints().back(), (RepaintRect{0, 0, 61, 21}));
  EXPECT_TRUE(anchor->IsTracked());
  Router().OnMouseLeaveWindow();
  EXPECT_FALSE(anchor->IsHovered());
  EXPECT_EQ(g_events, (std::vector<std::string>{"onmouseover:a", "onmouseout:a"}));
}

TEST_F(WidgetEventsTest, LabelSetText) {
  Build("<element style='width:10px;height:30px;'/><label id='l' value='start' style='width:50px;height:20px;'/>");
  auto* label = As<CUILibLabel>("l");
  ASSERT_NE(label, nullptr);
  IUILibLabel* client = dynamic_cast<IUILibLabel*>(static_cast<IUILibElement*>(label));
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(label->Text(), L"start");
  client->SetText(L"next");
  EXPECT_EQ(label->Text(), L"next");
  EXPECT_EQ(Repaints().back(), (RepaintRect{10, 0, 60, 20}));
  const size_t repaints = Repaints().size();
  client->SetText(L"next");  // the same text again: nothing to repaint
  EXPECT_EQ(Repaints().size(), repaints);
  client->SetText(nullptr);
  EXPECT_EQ(label->Text(), L"");
  EXPECT_EQ(Repaints().size(), repaints + 1);
}

// Without a text provider a "string::" text is shown as written, prefix and all.
TEST_F(WidgetEventsTest, TextKeysWithoutAProviderStayLiteral) {
  Build("<label id='l' value='string::caption'/><anchor id='a' value='STRING::link'/>");
  EXPECT_EQ(As<CUILibLabel>("l")->Text(), L"string::caption");
  EXPECT_EQ(As<CUILibAnchor>("a")->Text(), L"STRING::link");
}

TEST_F(WidgetEventsTest, VirtualProgressClampsAndRepaints) {
  Build("<virtualprocessbar id='p' progress='2' texture='color:rgb(0,0,255)' style='width:100px;height:3px;'/>"
        "<virtualcircleprocess id='c' style='width:50px;height:50px;'/>");
  auto* bar = As<CUILibVirtualProcessBar>("p");
  ASSERT_NE(bar, nullptr);
  // The attribute is taken as written.
  EXPECT_EQ(bar->Progress(), 2.0);
  EXPECT_EQ(bar->Colour(), 0xFF0000FFu);
  IUILibProcess* process = bar;
  process->SetProgress(1.5);
  EXPECT_EQ(bar->Progress(), 1.0);
  EXPECT_EQ(Repaints().back(), (RepaintRect{0, 0, 101, 4}));
  process->SetProgress(-0.2);
  EXPECT_EQ(bar->Progress(), 0.0);
  // A value that clamps to what is shown repaints nothing.
  const size_t repaints = Repaints().size();
  process->SetProgress(-1.0);
  EXPECT_EQ(Repaints().size(), repaints);
  auto* circle = As<CUILibVirtualCircleProcess>("c");
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(circle->Colour(), 0xFF000000u);
  EXPECT_EQ(circle->Progress(), 0.0);
}

TEST_F(WidgetEventsTest, NativeProgressBarBeforeItsControlIgnoresProgress) {
  Build("<processbar id='n' style='width:100px;height:10px;'/>");
  auto* bar = As<CUILibProcessBar>("n");
  ASSERT_NE(bar, nullptr);
  // Without a native window there is no control to create or to move.
  bar->SetProgress(0.5);
  EXPECT_EQ(bar->Control(), nullptr);
}

}  // namespace
}  // namespace uilib
