// Under Wine, after UILibStartup: a scroll bar element scrolling the label
// that names it, through scroll requests and real wheel messages; and the
// `border` decoration window following its owner.
#include <gtest/gtest.h>

#include <string>

#include "runtime_test_support.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/uilib_impl.h"
#include "uilib/win/skinned_window.h"

namespace uilib {
namespace {

using win::SkinnedWindow;

// Twenty lines of text in a 100-pixel label: content to scroll.
std::string LongText() {
  std::string text;
  for (int i = 1; i <= 20; ++i) text += "line " + std::to_string(i) + "&#10;";
  return text;
}

HWND g_found_decoration = nullptr;
BOOL CALLBACK FindDecoration(HWND window, LPARAM) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (std::wstring(name) != L"UILIB_WindowShadow" || !IsWindow(window)) return TRUE;
  g_found_decoration = window;
  return FALSE;
}
HWND ThreadDecoration() {
  g_found_decoration = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindDecoration, 0);
  return g_found_decoration;
}

class ScrollAndDecorationTest : public ::testing::Test {
 protected:
  void SetUp() override { win::SetWorkAreaForTesting(WorkArea{0, 0, 1920, 1040}); }
  void TearDown() override {
    if (window_ != nullptr) {
      IUILibWindow* pointer = window_;
      lib_.DestroyWindow(pointer);
    }
    win::SetWorkAreaForTesting(std::nullopt);
  }
  SkinnedWindow* CreatePopup(const std::string& attributes, const std::string& children) {
    const std::string skin = "<uilib><window id='w' windowstyle='WS_POPUP|WS_VISIBLE' width='300' height='200' " +
                             attributes + ">" + children + "</window></uilib>";
    EXPECT_EQ(lib_.LoadSkinFromMemory(skin), SkinLoadResult::kOk);
    window_ = dynamic_cast<SkinnedWindow*>(lib_.CreateWindowById("w", nullptr, nullptr, nullptr));
    return window_;
  }
  CUILibElement* ById(const char* id) {
    std::vector<IUILibElement*> found;
    window_->FindElementsById(found, id);
    return found.empty() ? nullptr : dynamic_cast<CUILibElement*>(found.front());
  }
  static void Pump(DWORD ms = 50) { test::PumpUntil([] { return false; }, ms); }

  CUILibImpl lib_;
  SkinnedWindow* window_ = nullptr;
};

TEST_F(ScrollAndDecorationTest, ScrollBarElementScrollsItsLabelByRequestsAndWheelTurns) {
  SkinnedWindow* window = CreatePopup(
      "left='50' top='50'", "<label id='text' vscroll='bar' value='" + LongText() +
                                "' style='width:200px;height:100px;font:12px Arial'/>"
                                "<scrollbar id='bar' style='width:20px;height:100px'/>");
  ASSERT_NE(window, nullptr);
  CUILibElement* label = ById("text");
  CUILibElement* bar_element = ById("bar");
  auto* bar = dynamic_cast<IUILibScrollBar*>(bar_element);
  ASSERT_NE(bar, nullptr);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  bar->GetScrollInfo(&info);
  ASSERT_EQ(info.nPage, 100u);
  ASSERT_GT(info.nMax, 100) << "the label's text is taller than the label";
  const int last = info.nMax - 100 + 1;
  const LPARAM target = reinterpret_cast<LPARAM>(bar_element);

  SendMessageW(window->hwnd(), WM_VSCROLL, SB_LINEDOWN, target);
  EXPECT_EQ(bar->GetScrollPos(), 10);
  EXPECT_EQ(label->ScrollOffset(), 10);
  SendMessageW(window->hwnd(), WM_VSCROLL, SB_BOTTOM, target);
  EXPECT_EQ(bar->GetScrollPos(), last);
  EXPECT_EQ(label->ScrollOffset(), last);
  // A request whose parameter is no registered scroll bar does nothing.
  SendMessageW(window->hwnd(), WM_VSCROLL, SB_TOP, reinterpret_cast<LPARAM>(label));
  EXPECT_EQ(bar->GetScrollPos(), last);

  // A wheel turn up over the label: one line step, posted.
  RECT client{};
  GetWindowRect(window->hwnd(), &client);
  SendMessageW(window->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA),
               MAKELPARAM(client.left + 50, client.top + 50));
  Pump();
  EXPECT_EQ(bar->GetScrollPos(), last - 10);
  EXPECT_EQ(label->ScrollOffset(), last - 10);
}

TEST_F(ScrollAndDecorationTest, DecorationFollowsMovesHidingAndStaysBehindItsOwner) {
  // alpha_shape.png is 8 x 8.
  SkinnedWindow* window =
      CreatePopup("left='100' top='120' border='res(self,ALPHA_SHAPE,PNG)' border-offset='5 6'", "");
  ASSERT_NE(window, nullptr);
  HWND owner = window->hwnd();
  HWND decoration = ThreadDecoration();
  ASSERT_NE(decoration, nullptr);
  RECT r{};
  GetWindowRect(decoration, &r);
  EXPECT_EQ(r.left, 95);
  EXPECT_EQ(r.top, 114);
  EXPECT_EQ(r.right - r.left, 8);
  EXPECT_TRUE((GetWindowLongW(decoration, GWL_EXSTYLE) & WS_EX_LAYERED) != 0);

  SetWindowPos(owner, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(decoration, &r);
  EXPECT_EQ(r.left, 395);
  EXPECT_EQ(r.top, 294);

  ShowWindow(owner, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(decoration));
  ShowWindow(owner, SW_SHOWNA);
  EXPECT_TRUE(IsWindowVisible(decoration));

  // Brought to the top (as a click does): cancelled, then applied to both
  // windows, the decoration directly behind the owner.
  SetWindowPos(decoration, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Pump();
  EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), decoration);
  GetWindowRect(decoration, &r);
  EXPECT_EQ(r.left, 395);

  IUILibWindow* pointer = window_;
  lib_.DestroyWindow(pointer);
  window_ = nullptr;
  EXPECT_FALSE(IsWindow(decoration));
}

TEST_F(ScrollAndDecorationTest, AMissingDecorationImageLeavesAPlainWindow) {
  SkinnedWindow* window = CreatePopup("border='res(self,NO_SUCH_IMAGE,PNG)' border-offset='5 5'", "");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window->hwnd()));
  EXPECT_EQ(ThreadDecoration(), nullptr);
}

}  // namespace
}  // namespace uilib
