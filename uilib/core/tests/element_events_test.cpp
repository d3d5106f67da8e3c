// Hit testing, the event chain to named handlers, and the tree operations'
// requests to the window.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include "layout_test_support.h"
#include "recording_window_services.h"
#include "uilib/animation.h"
#include "uilib/shell_open.h"

namespace uilib {
namespace {

using testing::LayOut;

struct HandlerCall {
  std::string event;
  std::string id;
};
std::vector<HandlerCall> g_calls;
int g_handler_result = 1;

int RecordingHandler(const char* event, IUILibElement* element) {
  g_calls.push_back({event, element->GetId()});
  return g_handler_result;
}

class EventTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    g_handler_result = 1;
    SetShellOpenerForTesting([this](const std::string& target) { opened_.push_back(target); });
  }
  void TearDown() override { SetShellOpenerForTesting(nullptr); }
  void Register(testing::LaidOutWindow& w) { w.lib->RegisterHandler("H", reinterpret_cast<void*>(&RecordingHandler)); }
  std::vector<std::string> opened_;
};

// Two overlapping siblings in a 100 x 100 parent; the second is drawn later.
const char* kOverlapping =
    "<element id='p' style='width:100px;height:100px;'>"
    "<element id='first' style='width:60px;height:60px;position:FIXED'/>"
    "<element id='second' style='width:60px;height:60px;left:30px;top:30px'/>"
    "</element>";

TEST_F(EventTest, HitTestingPrefersTheFirstChildAndSkipsDisabledOnes) {
  auto w = LayOut(kOverlapping, 200, 200);
  EXPECT_EQ(w.window->HitTest({40, 40}), w.ById("first"));
  EXPECT_EQ(w.window->HitTest({80, 80}), w.ById("second"));
  EXPECT_EQ(w.window->HitTest({150, 150}), w.window.get());
  EXPECT_EQ(w.window->HitTest({250, 10}), nullptr);
  EXPECT_EQ(w.window->HitTest({100, 10}), w.window.get());  // right edge of p is exclusive

  w.ById("first")->Enable(0);
  EXPECT_EQ(w.window->HitTest({10, 10}), w.ById("p"));
  EXPECT_EQ(w.window->HitTest({40, 40}), w.ById("second"));
}

TEST_F(EventTest, HitTestingHonoursScrollOffsetAndOverlay) {
  auto w = LayOut(kOverlapping, 200, 200);
  CUILibElement* first = w.ById("first");
  first->SetScrollOffset(20);  // its scrolled area moved up by 20
  EXPECT_EQ(w.window->HitTest({10, 35}), first);
  EXPECT_EQ(w.window->HitTest({10, 50}), w.ById("p"));

  TiXmlDocument doc;
  doc.Parse("<element id='cover' style='width:10px;height:10px;'/>");
  ASSERT_TRUE(w.ById("p")->SetOverlay(doc.RootElement()));
  // The overlay takes every hit over its owner (laid out into the same rect).
  EXPECT_EQ(w.window->HitTest({80, 80})->Id(), "cover");
  w.ById("p")->RemoveOverlay();
  EXPECT_EQ(w.window->HitTest({80, 80}), w.ById("second"));
}

TEST_F(EventTest, ClickOnDisabledElementsChildGoesToTheParent) {
  auto w = LayOut(
      "<element id='p' onclick='uilib::H' style='width:100px;height:100px;'>"
      "<element id='off' disabled='true' onclick='uilib::H' style='width:50px;height:50px;'>"
      "<element id='inner' style='width:10px;height:10px;'/></element></element>",
      200, 200);
  Register(w);
  CUILibElement* hit = w.window->HitTest({5, 5});
  ASSERT_EQ(hit, w.ById("p"));
  EXPECT_EQ(hit->OnClick({5, 5}), 1);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].event, "onclick");
  EXPECT_EQ(g_calls[0].id, "p");
  // A disabled element fires nothing and does not bubble.
  EXPECT_EQ(w.ById("off")->OnClick({5, 5}), 0);
  EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(EventTest, ClicksBubbleOutwardsToTheWindow) {
  auto w = LayOut("<element id='p' style='width:100px;height:100px;'><element id='c' "
                  "style='width:10px;height:10px;'/></element>",
                  200, 200);
  Register(w);
  EXPECT_EQ(w.ById("c")->OnClick({1, 1}), 0);  // nobody binds onclick
  EXPECT_TRUE(g_calls.empty());

  CUILibImpl lib;
  ASSERT_EQ(lib.LoadSkinFromMemory("<uilib><window id='w' onclick='uilib::H' ondbclick='UILIB::H'><element "
                                   "id='c'/></window></uilib>"),
            SkinLoadResult::kOk);
  lib.RegisterHandler("H", reinterpret_cast<void*>(&RecordingHandler));
  auto window = lib.BuildWindowTree("w");
  auto* c = testing::ChildrenOf(window.get())[0];
  EXPECT_EQ(c->OnClick({0, 0}), 1);
  EXPECT_EQ(c->OnDblClick({0, 0}), 1);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].event, "onclick");
  EXPECT_EQ(g_calls[1].event, "ondbclick");
  EXPECT_EQ(g_calls[1].id, "w");  // the window element took both
}

TEST_F(EventTest, FireEventFallsBackToHrefAndUnregisteredNamesBindNothing) {
  auto w = LayOut("<element id='link' href='http://example.test/a' onclick='uilib::Missing' "
                  "style='width:10px;height:10px;'/>"
                  "<element id='handled' href='http://example.test/b' onclick='uilib::H' "
                  "style='width:10px;height:10px;'/>",
                  200, 200);
  Register(w);
  EXPECT_EQ(w.ById("link")->OnClick({0, 0}), 0);  // opened, still not handled
  EXPECT_EQ(w.ById("handled")->OnClick({0, 0}), 1);
  g_handler_result = 0;
  EXPECT_EQ(w.ById("handled")->OnClick({0, 0}), 0);
  EXPECT_EQ(opened_, (std::vector<std::string>{"http://example.test/a", "http://example.test/b"}));
  EXPECT_EQ(w.ById("link")->FireEvent("onmouseover"), 0);
  EXPECT_EQ(opened_.size(), 2u);
}

TEST_F(EventTest, ButtonEventsAskTheOutermostAncestorFirst) {
  auto w = LayOut("<element id='p' onlbuttondown='uilib::H' onlbuttonup='uilib::H' "
                  "style='width:100px;height:100px;'><element id='c' onlbuttondown='uilib::H' "
                  "style='width:10px;height:10px;'/></element>",
                  200, 200);
  Register(w);
  EXPECT_EQ(w.ById("c")->OnLButtonDown({0, 0}), 1);
  EXPECT_EQ(w.ById("c")->OnLButtonUp({0, 0}), 1);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].id, "p");
  g_handler_result = 0;
  g_calls.clear();
  EXPECT_EQ(w.ById("c")->OnLButtonDown({0, 0}), 0);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].id, "p");
  EXPECT_EQ(g_calls[1].id, "c");
}

TEST_F(EventTest, HasHandlerLooksUpwardsAndNotThroughDisabledElements) {
  auto w = LayOut("<element id='p' ondbclick='uilib::NotRegistered' style='width:100px;height:100px;'>"
                  "<element id='c' style='width:10px;height:10px;'/></element>"
                  "<element id='q' style='width:10px;height:10px;'/>",
                  200, 200);
  EXPECT_TRUE(w.ById("c")->HasHandler("ondbclick"));
  EXPECT_FALSE(w.ById("q")->HasHandler("ondbclick"));
  w.ById("p")->Enable(0);
  EXPECT_FALSE(w.ById("c")->HasHandler("ondbclick"));
}

TEST_F(EventTest, MouseLeaveHidesTheTipUnlessHandled) {
  auto w = LayOut("<element id='t' tip='hello' style='width:10px;height:10px;'/>"
                  "<element id='h' tip='x' onmouseout='uilib::H' style='width:10px;height:10px;'/>",
                  200, 200);
  Register(w);
  testing::RecordingServices services(w.window.get());
  EXPECT_EQ(w.ById("t")->OnMouseLeave(), 0);
  EXPECT_EQ(w.ById("h")->OnMouseLeave(), 1);
  EXPECT_EQ(services.hidden_tips, (std::vector<CUILibElement*>{w.ById("t")}));
}

TEST_F(EventTest, FindElementsByIdIsDepthFirstPreOrderAndCaseInsensitive) {
  auto w = LayOut("<element id='X'><element id='x'/><element id='y'><element id='x'/></element></element>"
                  "<element id='x'/>",
                  200, 200);
  std::vector<IUILibElement*> found;
  w.window->FindElementsById(found, "x");
  ASSERT_EQ(found.size(), 4u);
  auto top = testing::ChildrenOf(w.window.get());
  auto inner = testing::ChildrenOf(top[0]);
  EXPECT_EQ(found[0], top[0]);
  EXPECT_EQ(found[1], inner[0]);
  EXPECT_EQ(found[2], testing::ChildrenOf(inner[1])[0]);
  EXPECT_EQ(found[3], top[1]);
  EXPECT_EQ(inner[0]->GetRoot(), static_cast<IUILibElement*>(w.window.get()));
}

TEST_F(EventTest, TreeChangesRelayoutRepaintAndTrack) {
  auto w = LayOut("<element id='p' style='width:100px;height:50px;'/>", 200, 200);
  testing::RecordingServices services(w.window.get());
  CUILibElement* p = w.ById("p");
  p->SetScrollOffset(5);
  TiXmlDocument doc;
  doc.Parse("<x><element id='a' style='width:10px;height:10px;'/><element id='b' style='width:10px;height:10px;'/></x>");
  p->PrependChildren(doc.RootElement()->FirstChildElement());
  auto children = testing::ChildrenOf(p);
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(children[0]->Id(), "b");  // a chain A, B ends up as B, A
  EXPECT_EQ(children[0]->Rect(), (RectF{0, 0, 10, 10}));
  ASSERT_EQ(services.repaints.size(), 1u);
  EXPECT_EQ(services.repaints[0], (RepaintRect{0, -5, 100, 45}));
  EXPECT_EQ(services.router.HoverList(), (std::vector<CUILibElement*>{p}));
  EXPECT_TRUE(p->IsTracked());

  p->SetStyle("height:20px;");
  EXPECT_EQ(services.relayouts, 1);
  EXPECT_EQ(std::string(p->Xml()->Attribute("style")), "height:20px;");
  EXPECT_EQ(p->Style().Values().width, StyleLength::Pixels(100));

  // Destroying an element makes the window forget it, tracked or not (it
  // may be the pressed or captured element): children first, then p.
  w.window->Rebuild(0);
  EXPECT_EQ(services.forgotten, (std::vector<CUILibElement*>{children[0], children[1], p}));
  EXPECT_TRUE(services.router.HoverList().empty());
}

TEST_F(EventTest, EnableIsRecursiveAndReportsThePreviousState) {
  auto w = LayOut("<element id='p' style='width:10px;height:10px;'><element id='c'/></element>", 200, 200);
  EXPECT_EQ(w.ById("p")->Enable(0), 1);
  EXPECT_TRUE(w.ById("c")->IsDisabled());
  EXPECT_EQ(w.ById("p")->Enable(1), 0);
  EXPECT_FALSE(w.ById("c")->IsDisabled());
}

TEST_F(EventTest, RebuildKeepsOrResetsTheScrollPosition) {
  auto w = LayOut("<element id='p' style='width:100px;height:50px;overflow:scroll'><element "
                  "style='width:10px;height:100px;'/></element>",
                  200, 200);
  testing::RecordingServices services(w.window.get());
  w.window->Layout(RectF{0, 0, 200, 200}, nullptr, nullptr);
  auto* bar = static_cast<testing::RecordingScrollBar*>(w.ById("p")->NativeScrollBarControl());
  ASSERT_NE(bar, nullptr);
  bar->position = 30;
  w.ById("p")->Rebuild(0);
  EXPECT_EQ(bar->posted_thumb, 30);
  EXPECT_EQ(testing::ChildrenOf(w.ById("p")).size(), 1u);
  bar->posted_thumb.reset();
  w.ById("p")->Rebuild(1);
  EXPECT_EQ(bar->position, 0);
  EXPECT_FALSE(bar->posted_thumb.has_value());
}

std::vector<float> g_progress;
void RecordProgress(IUILibElement*, void*, float progress) { g_progress.push_back(progress); }

TEST_F(EventTest, AnimateTicksUntilProgressOneThenFreesTheRecord) {
  auto w = LayOut("<element id='p'/>", 200, 200);
  g_progress.clear();
  w.ById("p")->Animate(&RecordProgress, nullptr, 100);  // not in a window: nothing
  testing::RecordingServices services(w.window.get());
  w.ById("p")->Animate(&RecordProgress, nullptr, 100);
  ASSERT_EQ(services.timers.size(), 1u);
  const std::uintptr_t timer = services.timers[0];
  const auto* record = reinterpret_cast<const AnimationRecord*>(timer);
  const std::uint64_t start = record->start_ms;
  EXPECT_TRUE(w.ById("p")->TickAnimation(timer, start + 50));
  EXPECT_FALSE(w.ById("p")->TickAnimation(timer, start + 150));
  EXPECT_EQ(g_progress, (std::vector<float>{0.5f, 1.0f}));
  EXPECT_EQ(services.killed_timers, (std::vector<std::uintptr_t>{timer}));
  EXPECT_FALSE(w.ById("p")->TickAnimation(timer, start + 200));  // freed: no further call
  EXPECT_EQ(g_progress.size(), 2u);
}

TEST_F(EventTest, DestroyingAnAnimatedElementStopsItsTimer) {
  auto w = LayOut("<element id='p'><element id='c'/></element>", 200, 200);
  testing::RecordingServices services(w.window.get());
  w.ById("c")->Animate(&RecordProgress, nullptr, 1000);
  w.ById("p")->Rebuild(1);
  EXPECT_EQ(services.killed_timers, services.timers);
}

}  // namespace
}  // namespace uilib
