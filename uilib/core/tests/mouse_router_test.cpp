// The window side of mouse input, driven with synthetic messages.
#include <gtest/gtest.h>

#include "layout_test_support.h"
#include "recording_window_services.h"
#include "uilib/button_state.h"
#include "uilib/element_factory.h"

namespace uilib {
namespace {

std::vector<std::string> g_events;

int Record(const char* event, IUILibElement* element) {
  g_events.push_back(std::string(event) + ":" + element->GetId());
  return 1;
}
int Refuse(const char* event, IUILibElement* element) {
  g_events.push_back(std::string(event) + ":" + element->GetId());
  return 0;
}
// Records the event, then rebuilds the parent of its element (destroying the
// element it was fired on) and leaves the event unhandled.
int RebuildParent(const char* event, IUILibElement* element) {
  g_events.push_back(std::string(event) + ":" + element->GetId());
  static_cast<CUILibElement*>(element)->Parent()->Rebuild(0);
  return 0;
}

// An element kind that records the moves routed to it.
class MoveRecorder : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  int OnMouseMove(PointF point) override {
    g_events.push_back("move:" + Id() + "@" + std::to_string(static_cast<int>(point.x)) + "," +
                       std::to_string(static_cast<int>(point.y)));
    return CUILibElement::OnMouseMove(point);
  }
};

[[maybe_unused]] const bool g_move_recorder_registered = [] {
  RegisterElementKind("moverecorder", [](CUILibElement* parent, const TiXmlElement* xml, IUILib* lib) {
    return std::unique_ptr<CUILibElement>(std::make_unique<MoveRecorder>(parent, xml, lib));
  });
  return true;
}();

class MouseRouterTest : public ::testing::Test {
 protected:
  void Build(const std::string& body) {
    g_events.clear();
    services_.reset();  // detached from the window it was made for
    w_ = testing::LayOut(body, 200, 200);
    ASSERT_TRUE(w_.window);
    w_.lib->RegisterHandler("R", reinterpret_cast<void*>(&Record));
    w_.lib->RegisterHandler("N", reinterpret_cast<void*>(&Refuse));
    w_.lib->RegisterHandler("D", reinterpret_cast<void*>(&RebuildParent));
    services_ = std::make_unique<testing::RecordingServices>(w_.window.get());
  }
  MouseRouter& Router() { return services_->router; }
  testing::RecordingHost& Host() { return services_->host; }

  testing::LaidOutWindow w_;
  std::unique_ptr<testing::RecordingServices> services_;
};

TEST_F(MouseRouterTest, ClickWithoutDoubleClickBindingIsImmediate) {
  Build("<element id='btn' onclick='uilib::R' style='width:50px;height:50px;'/>");
  Router().OnButtonDown({10, 10});
  EXPECT_TRUE(IsLeftButtonDown());
  Router().OnButtonUp({12, 12});
  EXPECT_FALSE(IsLeftButtonDown());
  EXPECT_EQ(g_events, (std::vector<std::string>{"onclick:btn"}));
  EXPECT_EQ(Host().focus_taken, 1);
  EXPECT_EQ(Router().Pressed(), nullptr);
}

TEST_F(MouseRouterTest, ReleaseOverAnotherElementIsNoClick) {
  Build("<element id='a' onclick='uilib::R' style='width:50px;height:50px;'/>"
        "<element id='b' onclick='uilib::R' style='width:50px;height:50px;'/>");
  Router().OnButtonDown({10, 10});
  Router().OnButtonUp({60, 10});
  EXPECT_TRUE(g_events.empty());
}

TEST_F(MouseRouterTest, SingleClickWaitsForTheDoubleClickTime) {
  Build("<element id='e' onclick='uilib::R' ondbclick='uilib::R' style='width:50px;height:50px;'/>");
  Router().OnButtonDown({10, 10});
  Router().OnButtonUp({10, 10});
  EXPECT_TRUE(g_events.empty());
  EXPECT_TRUE(Host().timer_running);
  Router().OnDeferredClickTimer();
  EXPECT_EQ(g_events, (std::vector<std::string>{"onclick:e"}));
  EXPECT_FALSE(Host().timer_running);

  // A double click within the time replaces the single click.
  g_events.clear();
  Router().OnButtonDown({10, 10});
  Router().OnButtonUp({10, 10});
  Router().OnDoubleClick({10, 10});
  Router().OnButtonUp({10, 10});
  EXPECT_FALSE(Host().timer_running);
  Router().OnDeferredClickTimer();
  EXPECT_EQ(g_events, (std::vector<std::string>{"ondbclick:e"}));
}

TEST_F(MouseRouterTest, PressOnMovableElementDragsThePopupWindow) {
  Build("<element id='m' movable='true' onlbuttondown='uilib::R' onclick='uilib::R' "
        "style='width:50px;height:50px;'/>");
  Host().cursor = {500, 300};
  Host().origin = {100, 100};
  Router().OnButtonDown({10, 10});
  EXPECT_TRUE(Router().Dragging());
  EXPECT_EQ(Host().drag_captures, 1);
  Host().cursor = {530, 290};
  Router().OnMouseMove({40, 0});
  EXPECT_EQ(Host().origin, (PointI{130, 90}));
  Router().OnButtonUp({40, 0});
  EXPECT_FALSE(Router().Dragging());
  EXPECT_EQ(services_->releases, 1);
  EXPECT_TRUE(g_events.empty());  // no button events, no click

  // With a caption the same press is an ordinary press.
  Host().popup_without_caption = false;
  Router().OnButtonDown({10, 10});
  EXPECT_EQ(g_events, (std::vector<std::string>{"onlbuttondown:m"}));
}

TEST_F(MouseRouterTest, HoverWalkEntersTheFirstAcceptingElementAndLeavesOthers) {
  Build("<element id='outer' onmouseover='uilib::R' onmouseout='uilib::R' style='width:100px;height:100px;'>"
        "<element id='refuses' onmouseover='uilib::N' style='width:50px;height:50px;cursor:hand'/></element>"
        "<element id='other' onmouseover='uilib::R' onmouseout='uilib::R' style='width:50px;height:50px;'/>");
  Router().OnMouseMove({10, 10});
  EXPECT_EQ(g_events, (std::vector<std::string>{"onmouseover:refuses", "onmouseover:outer"}));
  EXPECT_FALSE(w_.ById("refuses")->IsHovered());
  EXPECT_TRUE(w_.ById("outer")->IsHovered());
  EXPECT_EQ(Router().HoverList(), (std::vector<CUILibElement*>{w_.ById("outer")}));
  EXPECT_EQ(Host().cursor_kind, Cursor::kHand);
  EXPECT_EQ(Host().leave_requests, 1);

  // Still inside outer: refuses is asked again, outer is passed over.
  g_events.clear();
  Router().OnMouseMove({60, 60});
  EXPECT_TRUE(g_events.empty());
  EXPECT_EQ(Host().cursor_kind, Cursor::kNone);

  Router().OnMouseMove({110, 10});
  EXPECT_EQ(g_events, (std::vector<std::string>{"onmouseover:other", "onmouseout:outer"}));
  EXPECT_FALSE(w_.ById("outer")->IsHovered());

  g_events.clear();
  Router().OnMouseLeaveWindow();
  EXPECT_EQ(g_events, (std::vector<std::string>{"onmouseout:other"}));
  EXPECT_TRUE(Router().HoverList().empty());
}

TEST_F(MouseRouterTest, CapturedElementAloneGetsMoves) {
  Build("<moverecorder id='a' onmouseover='uilib::R' style='width:50px;height:50px;'/>"
        "<moverecorder id='b' onmouseover='uilib::R' style='width:50px;height:50px;'/>");
  CUILibElement* a = w_.ById("a");
  EXPECT_EQ(a->SetMouseCapture(), nullptr);
  // Over b and outside the window: a gets the moves, with the points as given,
  // and no hover walk runs.
  Router().OnMouseMove({60, 10});
  Router().OnMouseMove({150, 150});
  EXPECT_EQ(g_events, (std::vector<std::string>{"move:a@60,10", "move:a@150,150"}));
  EXPECT_EQ(w_.ById("b")->SetMouseCapture(), static_cast<IUILibElement*>(a));
  w_.ById("b")->ReleaseMouseCapture();
  g_events.clear();
  Router().OnMouseMove({10, 10});
  EXPECT_EQ(g_events, (std::vector<std::string>{"onmouseover:a", "move:a@10,10"}));
}

TEST_F(MouseRouterTest, RebuildBetweenPressAndReleaseForgetsThePressedElement) {
  Build("<element id='p' style='width:100px;height:100px;'>"
        "<element id='btn' onclick='uilib::R' onlbuttonup='uilib::N' style='width:50px;height:50px;'/></element>");
  Router().OnButtonDown({10, 10});
  ASSERT_EQ(Router().Pressed(), w_.ById("btn"));
  w_.ById("p")->Rebuild(0);
  EXPECT_EQ(Router().Pressed(), nullptr);
  // The new button at the same place was not pressed: no release, no click.
  Router().OnButtonUp({10, 10});
  EXPECT_TRUE(g_events.empty());
}

TEST_F(MouseRouterTest, HandlersThatDestroyTheirOwnElementEndTheirEvent) {
  // Click: the destroyed element's click does not bubble to its parent.
  Build("<element id='p' onclick='uilib::R' style='width:100px;height:100px;'>"
        "<element id='e' onclick='uilib::D' style='width:50px;height:50px;'/></element>");
  Router().OnButtonDown({10, 10});
  Router().OnButtonUp({10, 10});
  EXPECT_EQ(g_events, (std::vector<std::string>{"onclick:e"}));

  // Release: no click follows on the element built in its place.
  Build("<element id='p' style='width:100px;height:100px;'>"
        "<element id='e' onlbuttonup='uilib::D' onclick='uilib::R' style='width:50px;height:50px;'/></element>");
  Router().OnButtonDown({10, 10});
  Router().OnButtonUp({10, 10});
  EXPECT_EQ(g_events, (std::vector<std::string>{"onlbuttonup:e"}));

  // Enter: the walk ends; the next move enters the new element.
  Build("<element id='p' onmouseover='uilib::R' style='width:100px;height:100px;'>"
        "<element id='e' onmouseover='uilib::D' style='width:50px;height:50px;'/></element>");
  Router().OnMouseMove({10, 10});
  EXPECT_EQ(g_events, (std::vector<std::string>{"onmouseover:e"}));
  EXPECT_TRUE(Router().HoverList().empty());

  // Leave: the element is gone from the hover list, its parent still hovered.
  Build("<element id='p' onmouseover='uilib::R' onmouseout='uilib::R' style='width:100px;height:100px;'>"
        "<element id='e' onmouseover='uilib::R' onmouseout='uilib::D' style='width:50px;height:50px;'/></element>"
        "<element id='o' onmouseover='uilib::R' onmouseout='uilib::D' style='width:50px;height:50px;'/>");
  Router().OnMouseMove({10, 10});
  Router().OnMouseMove({60, 60});
  EXPECT_EQ(g_events, (std::vector<std::string>{"onmouseover:e", "onmouseover:p", "onmouseout:e"}));
  EXPECT_EQ(Router().HoverList(), (std::vector<CUILibElement*>{w_.ById("p")}));
  g_events.clear();
  Router().OnMouseMove({110, 10});
  Router().OnMouseLeaveWindow();
  EXPECT_EQ(g_events, (std::vector<std::string>{"onmouseover:o", "onmouseout:p", "onmouseout:o"}));
  EXPECT_TRUE(Router().HoverList().empty());
}

TEST_F(MouseRouterTest, ForgottenElementsAreNotCalledLater) {
  Build("<element id='e' onclick='uilib::R' ondbclick='uilib::R' style='width:50px;height:50px;'/>");
  Router().OnButtonDown({10, 10});
  Router().OnButtonUp({10, 10});
  CUILibElement* e = w_.ById("e");
  Router().Forget(e);
  EXPECT_FALSE(Host().timer_running);
  Router().OnDeferredClickTimer();
  EXPECT_TRUE(g_events.empty());
}

}  // namespace
}  // namespace uilib
