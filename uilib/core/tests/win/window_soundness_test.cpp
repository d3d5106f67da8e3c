// Skinned windows under Wine against what could make the library read freed
// memory or miss a paint: handlers that destroy their own element, window or
// tree; tree changes while the render thread paints; the render thread
// reading a scroll position; scroll links after rebuilds; foreign child
// windows; a layered window made larger.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tinyxml.h>
#include <vector>

#include "runtime_test_support.h"
#include "uilib/element_factory.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/library_state.h"
#include "uilib/uilib_impl.h"
#include "uilib/win/skinned_window.h"
#include "uilib/window_attributes.h"

namespace uilib {
namespace {

using win::SkinnedWindow;

std::vector<std::string> g_calls;
CUILibImpl* g_lib = nullptr;
IUILibWindow* g_window = nullptr;
bool g_object_kept_during_handler = false;

int Log(const char* event, IUILibElement* element) {
  g_calls.push_back(std::string(event) + " " + element->GetId());
  return 1;
}

// Destroys the window it was fired from, then runs a nested message loop long
// enough for the deletion timer to tick (as a message box would), and answers
// "not handled" so that the library looks at the element again.
int DestroyWindowAndWait(const char* event, IUILibElement* element) {
  g_calls.push_back(std::string(event) + " " + element->GetId());
  CUILibWindow* object = dynamic_cast<CUILibWindow*>(g_window);
  g_lib->DestroyWindow(g_window);
  test::PumpUntil([] { return false; }, 1300);
  g_object_kept_during_handler = State().deletion.Contains(object);
  return 0;
}

// Rebuilds the window's tree, destroying the element it was fired on.
int RebuildTree(const char* event, IUILibElement* element) {
  g_calls.push_back(std::string(event) + " " + element->GetId());
  element->GetRoot()->Rebuild(0);
  return 0;
}

// A skinned scroll bar kind that only exists to be found by id.
class StubScrollBar : public CUILibElement, public IUILibScrollBar {
 public:
  using CUILibElement::CUILibElement;
  int GetScrollPos() override { return 0; }
  int SetScrollPos(int, int) override { return 0; }
  int GetScrollRange(int*, int*) override { return 0; }
  int SetScrollRange(int, int, int) override { return 0; }
  int GetScrollInfo(tagSCROLLINFO*) override { return 0; }
  int SetScrollInfo(const tagSCROLLINFO*, int) override { return 0; }
  int Reserved1() override { return 0; }
  int GetScrollBarInfo(tagSCROLLBARINFO*) override { return 0; }
  void Reserved2(std::intptr_t) override {}
  int Reserved3(std::intptr_t) override { return 1; }
  void OnAttach(NativeWindow window) override {
    CUILibElement::OnAttach(window);
    if (WindowServices* services = Services()) services->RegisterScrollBar(this, Id());
  }
};

// Counts the WM_VSCROLL messages that this thread takes for one target.
LPARAM g_scroll_target = 0;
int g_scroll_requests = 0;
LRESULT CALLBACK CountScrollRequests(int code, WPARAM wparam, LPARAM lparam) {
  const auto* message = reinterpret_cast<const MSG*>(lparam);
  if (code == HC_ACTION && wparam == PM_REMOVE && message->message == WM_VSCROLL &&
      message->lParam == g_scroll_target) {
    ++g_scroll_requests;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

class WindowSoundnessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    g_lib = &lib_;
    g_window = nullptr;
    win::SetWorkAreaForTesting(WorkArea{0, 0, 1920, 1040});
    lib_.RegisterHandler("Log", reinterpret_cast<void*>(&Log));
    lib_.RegisterHandler("DestroyWindow", reinterpret_cast<void*>(&DestroyWindowAndWait));
    lib_.RegisterHandler("Rebuild", reinterpret_cast<void*>(&RebuildTree));
  }
  void TearDown() override { win::SetWorkAreaForTesting(std::nullopt); }

  SkinnedWindow* CreatePopup(const std::string& attributes, const std::string& children) {
    const std::string skin = "<uilib><window id='w' windowstyle='WS_POPUP|WS_VISIBLE' width='300' height='200' " +
                             attributes + ">" + children + "</window></uilib>";
    EXPECT_EQ(lib_.LoadSkinFromMemory(skin), SkinLoadResult::kOk);
    auto* window = dynamic_cast<SkinnedWindow*>(lib_.CreateWindowById("w", nullptr, nullptr, nullptr));
    g_window = window;
    return window;
  }
  static CUILibElement* ById(CUILibElement* root, const char* id) {
    std::vector<IUILibElement*> found;
    root->FindElementsById(found, id);
    return found.empty() ? nullptr : dynamic_cast<CUILibElement*>(found.front());
  }
  static void Click(HWND window, int x, int y) {
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  CUILibImpl lib_;
};

TEST_F(WindowSoundnessTest, AHandlerThatDestroysItsWindowKeepsTheObjectUntilItReturns) {
  ASSERT_TRUE(test::PumpUntil([] { return State().deletion.Count() == 0; }, 10000));
  SkinnedWindow* window = CreatePopup("onclick='uilib::Log'",
                                      "<element id='btn' style='width:100px;height:50px' onclick='uilib::DestroyWindow'/>");
  ASSERT_NE(window, nullptr);
  HWND hwnd = window->hwnd();
  g_object_kept_during_handler = false;
  Click(hwnd, 20, 20);
  // The click did not bubble from the destroyed element to the window.
  EXPECT_EQ(g_calls, std::vector<std::string>{"onclick btn"});
  EXPECT_TRUE(g_object_kept_during_handler);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(test::PumpUntil([&] { return !State().deletion.Contains(window); }, 2500));
}

TEST_F(WindowSoundnessTest, HandlersThatDestroyTheirWindowOrTreeInEnterLeaveAndRelease) {
  for (const char* event : {"onmouseover", "onmouseout", "onlbuttonup", "onclick"}) {
    for (const char* handler : {"Rebuild", "DestroyWindow"}) {
      SCOPED_TRACE(std::string(event) + " " + handler);
      g_calls.clear();
      // The element takes the hover (so that it is left later) unless the
      // enter handler is the one under test.
      const std::string enter = std::string(event) == "onmouseover" ? "" : " onmouseover='uilib::Log'";
      SkinnedWindow* window = CreatePopup(
          "", std::string("<element id='e' style='width:100px;height:50px' ") + event + "='uilib::" + handler +
                  "'" + enter + "/><element id='other' style='width:100px;height:50px' onmouseover='uilib::Log'/>");
      ASSERT_NE(window, nullptr);
      HWND hwnd = window->hwnd();
      SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
      Click(hwnd, 20, 20);
      if (IsWindow(hwnd)) SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(150, 20));
      if (IsWindow(hwnd)) SendMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
      EXPECT_NE(std::find(g_calls.begin(), g_calls.end(), std::string(event) + " e"), g_calls.end());
      if (std::string(handler) == "DestroyWindow") {
        EXPECT_FALSE(IsWindow(hwnd));
      } else {
        // The rebuilt tree works as before.
        EXPECT_NE(ById(window, "e"), nullptr);
        IUILibWindow* pointer = window;
        lib_.DestroyWindow(pointer);
      }
    }
  }
}

TEST_F(WindowSoundnessTest, TreeChangesWhileTheRenderThreadPaints) {
  // A non-layered window painted on the render thread, its texts, styles and
  // children changed by this thread for a few seconds.
  SkinnedWindow* window = CreatePopup(
      "style='background:argb(255,0,0,255)'",
      "<label id='text' value='start' style='width:300px;height:20px;color:argb(255,255,255,255)'/>"
      "<element id='list' style='width:300px;height:150px;'><label value='row'/></element>");
  ASSERT_NE(window, nullptr);
  ASSERT_FALSE(window->IsLayered());
  ASSERT_TRUE(window->Attributes().use_render_thread);
  auto* text = dynamic_cast<IUILibLabel*>(ById(window, "text"));
  CUILibElement* list = ById(window, "list");
  ASSERT_NE(text, nullptr);
  TiXmlDocument rows;
  rows.Parse("<r><label value='added row' style='height:10px;color:argb(255,255,255,0)'/></r>");
  const TiXmlElement* row = rows.RootElement()->FirstChildElement();
  const DWORD start = GetTickCount();
  int round = 0;
  // Three seconds and at least 100 rounds: a slow machine (an emulated one)
  // takes longer for the same number of changes.
  while ((GetTickCount() - start < 3000 || round <= 100) && GetTickCount() - start < 60000) {
    const std::wstring value = L"round " + std::to_wstring(round) + std::wstring(static_cast<size_t>(round % 50), L'x');
    text->SetText(value.c_str());
    dynamic_cast<CUILibElement*>(text)->SetStyle(round % 2 == 0 ? "color:argb(255,255,0,0)" : "color:argb(255,0,255,0)");
    list->AppendChildren(row);
    list->PrependChildren(row);
    list->SetOverlay(row);
    if (round % 10 == 9) list->Rebuild(0);
    if (round % 10 == 4) list->RemoveOverlay();
    InvalidateRect(window->hwnd(), nullptr, FALSE);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    ++round;
  }
  EXPECT_GT(round, 100);
  EXPECT_EQ(list->Children().Count(), 1u + 2u * static_cast<size_t>(round % 10));
  HDC dc = GetDC(window->hwnd());
  EXPECT_TRUE(test::PumpUntil([&] { return GetPixel(dc, 150, 190) == RGB(0, 0, 255); }, 2000));
  ReleaseDC(window->hwnd(), dc);
  IUILibWindow* pointer = window;
  lib_.DestroyWindow(pointer);
}

// What a thread other than the UI thread reads of a scrolled element.
struct PositionRead {
  CUILibElement* area;
  int position = -1;
};
DWORD WINAPI ReadScrollPosition(void* context) {
  auto* read = static_cast<PositionRead*>(context);
  read->position = read->area->ScrollPosition();
  return 0;
}

TEST_F(WindowSoundnessTest, TheRenderThreadReadsANativeScrollPositionWithoutWaitingForTheUiThread) {
  // The render thread paints scrolled content under the tree lock while this
  // thread may be waiting for that lock: reading the position must not need
  // this thread to answer a message.
  SkinnedWindow* window = CreatePopup(
      "", "<element id='area' style='width:200px;height:100px;overflow:scroll'>"
          "<element style='width:100px;height:1000px'/></element>");
  ASSERT_NE(window, nullptr);
  CUILibElement* area = ById(window, "area");
  HWND bar = FindWindowExW(window->hwnd(), nullptr, L"ScrollBar", nullptr);
  ASSERT_NE(bar, nullptr);
  SendMessageW(window->hwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40), reinterpret_cast<LPARAM>(bar));
  ASSERT_EQ(area->ScrollPosition(), 40);
  PositionRead read{area};
  HANDLE reader = CreateThread(nullptr, 0, &ReadScrollPosition, &read, 0, nullptr);
  ASSERT_NE(reader, nullptr);
  // Waits without taking messages, as a wait for the tree lock does.
  const DWORD waited = WaitForSingleObject(reader, 3000);
  if (waited != WAIT_OBJECT_0) {
    test::PumpUntil([&] { return WaitForSingleObject(reader, 0) == WAIT_OBJECT_0; }, 10000);
  }
  CloseHandle(reader);
  EXPECT_EQ(waited, WAIT_OBJECT_0);
  EXPECT_EQ(read.position, 40);
  IUILibWindow* pointer = window;
  lib_.DestroyWindow(pointer);
}

TEST_F(WindowSoundnessTest, RebuildKeepsOneScrollRequestPerLink) {
  RegisterElementKind("stubscrollbar", [](CUILibElement* parent, const TiXmlElement* xml, IUILib* lib) {
    return std::unique_ptr<CUILibElement>(std::make_unique<StubScrollBar>(parent, xml, lib));
  });
  SkinnedWindow* window = CreatePopup(
      "", "<element id='area' vscroll='bar' style='width:200px;height:100px'><element/></element>"
          "<stubscrollbar id='bar' style='width:20px;height:100px'/>");
  ASSERT_NE(window, nullptr);
  CUILibElement* area = ById(window, "area");
  area->Rebuild(0);
  area->Rebuild(1);
  g_scroll_target = reinterpret_cast<LPARAM>(static_cast<CUILibElement*>(ById(window, "bar")));
  g_scroll_requests = 0;
  HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &CountScrollRequests, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  POINT screen{50, 50};
  ClientToScreen(window->hwnd(), &screen);
  SendMessageW(window->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
               MAKELPARAM(screen.x, screen.y));
  test::PumpUntil([] { return false; }, 100);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(g_scroll_requests, 1);
  IUILibWindow* pointer = window;
  lib_.DestroyWindow(pointer);
}

TEST_F(WindowSoundnessTest, CommandNotificationsReachOnlyTheLibrarysOwnChildControls) {
  SkinnedWindow* window = CreatePopup("", "<element id='e' style='width:100px;height:50px' onselchange='uilib::Log'/>");
  ASSERT_NE(window, nullptr);
  CUILibElement* e = ById(window, "e");
  // Another program part's child window whose user data happens to hold an
  // element's address: no element's notification.
  HWND foreign = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, window->hwnd(), nullptr, nullptr, nullptr);
  ASSERT_NE(foreign, nullptr);
  SetWindowLongPtrW(foreign, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(e));
  const auto notify = [&] { SendMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(0, 1), reinterpret_cast<LPARAM>(foreign)); };
  notify();
  EXPECT_TRUE(g_calls.empty());
  // The same control registered by the element is the element's.
  e->Services()->RegisterChildControl(foreign, e);
  notify();
  EXPECT_EQ(g_calls, std::vector<std::string>{"onselchange e"});
  // Once the element is destroyed its control no longer leads to it.
  window->Rebuild(0);
  notify();
  EXPECT_EQ(g_calls.size(), 1u);
  IUILibWindow* pointer = window;
  lib_.DestroyWindow(pointer);
}

TEST_F(WindowSoundnessTest, ALayeredWindowMadeLargerIsStillDrawn) {
  SkinnedWindow* window = CreatePopup("exwindowstyle='WS_EX_LAYERED' style='background:argb(255,200,20,10)'", "");
  ASSERT_NE(window, nullptr);
  if (window->Surface() == nullptr) GTEST_SKIP() << "the display is not 32-bit: no layered surface";
  SetWindowPos(window->hwnd(), nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_NE(window->Surface(), nullptr);
  EXPECT_EQ(window->Surface()->Width(), 500);
  EXPECT_EQ(window->Surface()->Height(), 400);
  const std::uint64_t pushes = window->Surface()->Pushes();
  SendMessageW(window->hwnd(), win::kMsgRepaint, 0, 0);
  EXPECT_GT(window->Surface()->Pushes(), pushes);
  EXPECT_EQ(window->Surface()->PixelAt(450, 350), 0xFFC8140Au);
  IUILibWindow* pointer = window;
  lib_.DestroyWindow(pointer);
}

}  // namespace
}  // namespace uilib
