#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "runtime_test_support.h"
#include "uilib/library_state.h"
#include "uilib/uilib_startup.h"
#include "uilib/win/uilib_runtime.h"

namespace uilib {
namespace {

TEST(StartupTest, CreatesTheProcessWideStateOnce) {
  win::Runtime* runtime = win::ActiveRuntime();
  ASSERT_NE(runtime, nullptr);
  EXPECT_TRUE(runtime->ok);
  EXPECT_EQ(State().module, GetModuleHandleW(nullptr));
  // The message window is a message-only window of its own class and style.
  HWND message_window = runtime->message_window.hwnd();
  ASSERT_NE(message_window, nullptr);
  // Other test programs of the same Wine session may own windows of the class
  // too: look for ours among all of them.
  HWND found = nullptr;
  while ((found = FindWindowExW(HWND_MESSAGE, found, L"CUILibMsgWindow", nullptr)) != nullptr &&
         found != message_window) {
  }
  EXPECT_EQ(found, message_window);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(message_window, GWL_STYLE)) &
                (WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
            static_cast<DWORD>(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
  EXPECT_TRUE(runtime->gdiplus->Ok());
  // The downloads of the library go through the transfer handle and the
  // cache folder under the temporary folder.
  ASSERT_NE(runtime->downloads, nullptr);
  EXPECT_EQ(ActiveDownloadService(), runtime->downloads.get());
  EXPECT_EQ(runtime->downloads->CacheFolder(), win::DownloadCacheFolder());
  EXPECT_NE(runtime->downloads->CacheFolder().find(L"\\UILibTemp"), std::wstring::npos);

  // A second start-up, even with another module, changes nothing: not the
  // module that "self" names, not the timers, handles or threads.
  const UINT_PTR timers[] = {runtime->pump_timer, runtime->scroll_timer, runtime->deletion_timer};
  const win::CurlDownloadService* downloads = runtime->downloads.get();
  const DWORD render_thread = runtime->render_thread->ThreadId();
  EXPECT_EQ(UILibStartup(nullptr), 1);
  EXPECT_EQ(win::ActiveRuntime(), runtime);
  EXPECT_EQ(State().module, GetModuleHandleW(nullptr));
  EXPECT_EQ(runtime->module, GetModuleHandleW(nullptr));
  EXPECT_EQ(runtime->message_window.hwnd(), message_window);
  EXPECT_EQ(runtime->pump_timer, timers[0]);
  EXPECT_EQ(runtime->scroll_timer, timers[1]);
  EXPECT_EQ(runtime->deletion_timer, timers[2]);
  EXPECT_EQ(runtime->downloads.get(), downloads);
  EXPECT_EQ(runtime->render_thread->ThreadId(), render_thread);
  EXPECT_EQ(runtime->ui_thread_id, GetCurrentThreadId());
}

TEST(StartupTest, RenderThreadRunsAtHighestPriority) {
  DWORD id = win::ActiveRuntime()->render_thread->ThreadId();
  HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, id);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_HIGHEST);
  CloseHandle(thread);
}

// The scroll step timer runs only while a drag queues positions: it starts
// when asked and stops after the first tick that finds nothing.
TEST(StartupTest, ScrollStepTimerRunsWhileStepsFindWork) {
  static std::atomic<int> steps{0};
  State().scroll_step = [] { return ++steps < 3; };
  win::Runtime& runtime = *win::ActiveRuntime();
  EXPECT_EQ(runtime.scroll_timer, 0u);
  ASSERT_NE(State().scroll_step_wanted, nullptr);
  State().scroll_step_wanted();
  State().scroll_step_wanted();  // already running: still one timer
  EXPECT_NE(runtime.scroll_timer, 0u);
  EXPECT_TRUE(test::PumpUntil([&] { return runtime.scroll_timer == 0; }, 2000));
  EXPECT_EQ(steps.load(), 3);
  State().scroll_step = nullptr;
}

// A window painted by the render thread.
class PaintedWindow : public RepaintTarget {
 public:
  void PaintDirect(const PixelRect& rect) override {
    thread = GetCurrentThreadId();
    painted.push_back(rect);
    ++paints;
  }
  std::vector<PixelRect> painted;
  std::atomic<int> paints{0};
  DWORD thread = 0;
};

TEST(RenderThreadTest, MergesQueuedRepaintsPerWindowOnItsOwnThread) {
  win::RenderThread& render = *win::ActiveRuntime()->render_thread;
  PaintedWindow window;
  // While the UI thread holds the tree, the render thread leaves the records queued.
  ASSERT_TRUE(State().tree_mutex.Lock(kTreeChangeWaitMs));
  render.QueueRepaint(&window, {0, 0, 10, 10});
  render.QueueRepaint(&window, {50, 20, 60, 30});
  Sleep(600);  // both repaint messages gave up after 200 ms each
  EXPECT_EQ(window.paints, 0);
  State().tree_mutex.Unlock();
  render.QueueRepaint(&window, {5, 5, 6, 6});
  ASSERT_TRUE(test::PumpUntil([&] { return window.paints >= 1; }, 3000));
  Sleep(50);
  EXPECT_EQ(window.paints, 1);  // one paint of the union, not three
  EXPECT_EQ(window.painted[0], (PixelRect{0, 0, 60, 30}));
  EXPECT_EQ(window.thread, render.ThreadId());
}

TEST(RenderThreadTest, PurgeDropsAWindowsQueuedRepaints) {
  win::RenderThread& render = *win::ActiveRuntime()->render_thread;
  PaintedWindow dying, other;
  ASSERT_TRUE(State().tree_mutex.Lock(kTreeChangeWaitMs));
  render.QueueRepaint(&dying, {0, 0, 10, 10});
  render.QueueRepaint(&other, {0, 0, 3, 3});
  EXPECT_TRUE(render.Purge(&dying));
  State().tree_mutex.Unlock();
  PostThreadMessageW(render.ThreadId(), win::kRenderRepaint, 0, 0);
  ASSERT_TRUE(test::PumpUntil([&] { return other.paints >= 1; }, 3000));
  EXPECT_EQ(dying.paints, 0);
}

}  // namespace
}  // namespace uilib
