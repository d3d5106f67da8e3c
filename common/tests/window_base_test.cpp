#include <gtest/gtest.h>

#include <vector>

#include "velko/window/message_loop.h"
#include "velko/window/window_base.h"

namespace velko::window {
namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr UINT_PTR kTimerId = 7;

// Records what reaches it; destroys itself after the third timer tick.
class RecordingWindow : public WindowBase {
 public:
  explicit RecordingWindow(LRESULT create_answer = 0) : create_answer_(create_answer) {}

  std::vector<UINT> handled;
  int ticks = 0;
  int final_messages = 0;
  HWND final_hwnd = nullptr;

 protected:
  const wchar_t* WindowClassName() const override { return L"VelkoRecordingWindow"; }

  bool ProcessWindowMessage(HWND, UINT message, WPARAM wparam, LPARAM, LRESULT& result) override {
    switch (message) {
      case WM_CREATE:
        handled.push_back(message);
        result = create_answer_;
        return true;
      case kPing:
        handled.push_back(message);
        result = static_cast<LRESULT>(wparam) * 2;
        return true;
      case WM_TIMER:
        if (wparam == kTimerId && ++ticks == 3) {
          KillTimer(kTimerId);
          DestroyWindow();
        }
        return true;
      case WM_DESTROY:
        handled.push_back(message);
        ::PostQuitMessage(5);
        return true;
      default:
        return false;
    }
  }

  void OnFinalMessage(HWND hwnd) override {
    ++final_messages;
    final_hwnd = hwnd;
  }

 private:
  LRESULT create_answer_;
};

WindowCreateParams MessageOnly() {
  WindowCreateParams params;
  params.parent = HWND_MESSAGE;
  params.style = 0x56000000;
  return params;
}

TEST(WindowBase, MessageOnlyWindowRoutesMessagesToItsObject) {
  RecordingWindow window;
  const HWND hwnd = window.Create(::GetModuleHandleW(nullptr), MessageOnly());
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(::FindWindowExW(HWND_MESSAGE, nullptr, L"VelkoRecordingWindow", nullptr), hwnd);
  EXPECT_EQ(WindowBase::FromHandle(hwnd), &window);
  EXPECT_EQ(window.SendMessage(kPing, 21), 42);
  // Unhandled messages reach the default procedure.
  EXPECT_EQ(window.SendMessage(WM_NULL), 0);
  EXPECT_TRUE(window.DestroyWindow());
  EXPECT_EQ(window.hwnd(), nullptr);
  EXPECT_EQ(window.final_messages, 1);
  EXPECT_EQ(window.final_hwnd, hwnd);
  EXPECT_EQ(window.handled, (std::vector<UINT>{WM_CREATE, kPing, WM_DESTROY}));
  MSG quit;
  ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // drop the quit of WM_DESTROY
}

TEST(WindowBase, CreateAnsweredWithMinusOneFails) {
  RecordingWindow window(-1);
  EXPECT_EQ(window.Create(::GetModuleHandleW(nullptr), MessageOnly()), nullptr);
  EXPECT_EQ(window.hwnd(), nullptr);
  EXPECT_EQ(window.final_messages, 1);
  MSG quit;
  ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(WindowBase, SecondCreateOnLiveWindowIsRefused) {
  RecordingWindow window;
  ASSERT_NE(window.Create(::GetModuleHandleW(nullptr), MessageOnly()), nullptr);
  EXPECT_EQ(window.Create(::GetModuleHandleW(nullptr), MessageOnly()), nullptr);
}

TEST(WindowBase, DestructorDestroysALiveWindowWithoutCallingBack) {
  HWND hwnd = nullptr;
  {
    RecordingWindow window;
    hwnd = window.Create(::GetModuleHandleW(nullptr), MessageOnly());
    ASSERT_NE(hwnd, nullptr);
  }
  EXPECT_FALSE(::IsWindow(hwnd));
  MSG quit;
  EXPECT_FALSE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// A hidden top-level window: messages before WM_NCCREATE (such as
// WM_GETMINMAXINFO) must not reach an object that is not attached yet.
class PopupWindow : public RecordingWindow {
 protected:
  const wchar_t* WindowClassName() const override { return L"VelkoPopupTestWindow"; }
  void CustomizeWindowClass(WNDCLASSEXW& window_class) const override {
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = &::DefWindowProcW;  // must not take over the routing
  }
};

TEST(WindowBase, TopLevelWindowWithCustomisedClass) {
  PopupWindow window;
  WindowCreateParams params;
  params.rect = {10, 20, 110, 70};
  params.style = WS_POPUP;
  params.title = L"popup";
  const HWND hwnd = window.Create(::GetModuleHandleW(nullptr), params);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(::GetClassLongPtrW(hwnd, GCL_STYLE) & CS_DBLCLKS, static_cast<ULONG_PTR>(CS_DBLCLKS));
  EXPECT_EQ(WindowBase::FromHandle(hwnd), &window);
  RECT rect{};
  ::GetWindowRect(hwnd, &rect);
  EXPECT_EQ(rect.right - rect.left, 100);
  EXPECT_EQ(rect.bottom - rect.top, 50);
  EXPECT_EQ(window.SendMessage(kPing, 4), 8);
  window.DestroyWindow();
  MSG quit;
  ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(WindowBase, ForeignWindowsHaveNoObject) {
  EXPECT_EQ(WindowBase::FromHandle(nullptr), nullptr);
  EXPECT_EQ(WindowBase::FromHandle(::GetDesktopWindow()), nullptr);
}

TEST(MessageLoop, RunsTimersUntilQuitAndReturnsItsCode) {
  RecordingWindow window;
  ASSERT_NE(window.Create(::GetModuleHandleW(nullptr), MessageOnly()), nullptr);
  ASSERT_TRUE(window.SetTimer(kTimerId, 10));
  MessageLoop loop;
  EXPECT_EQ(loop.Run(), 5);
  EXPECT_EQ(window.ticks, 3);
  EXPECT_EQ(window.hwnd(), nullptr);
}

class SwallowPings : public MessageFilter {
 public:
  int seen = 0;
  bool PreTranslateMessage(MSG& message) override {
    if (message.message != kPing) return false;
    ++seen;
    return true;
  }
};

TEST(MessageLoop, FiltersSeeAndMaySwallowPostedMessages) {
  RecordingWindow window;
  ASSERT_NE(window.Create(::GetModuleHandleW(nullptr), MessageOnly()), nullptr);
  SwallowPings filter;
  MessageLoop loop;
  loop.AddMessageFilter(&filter);
  loop.AddMessageFilter(&filter);  // added once only
  window.PostMessage(kPing, 1);
  window.PostMessage(WM_CLOSE);  // the default procedure destroys the window
  EXPECT_EQ(loop.Run(), 5);
  EXPECT_EQ(filter.seen, 1);
  EXPECT_EQ(window.handled, (std::vector<UINT>{WM_CREATE, WM_DESTROY}));
  loop.RemoveMessageFilter(&filter);
}

}  // namespace
}  // namespace velko::window
