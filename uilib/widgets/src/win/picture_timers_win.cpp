// The thread timers of the picture elements: 100 ms animation steps for
// images and for ads, and 1 ms repaints while image fades and slides run.
// They belong to the thread that builds the first element of the kind.
//
// The 1 ms timers run only while a fade or slide does: idle, they would wake
// the thread about a thousand times a second each for the life of the
// program, taking a core from whatever else it does (an extraction). A fade
// or slide may begin on any thread, so beginning one posts a wake-up to a
// message-only window of the timers' thread, which starts the timers there;
// a tick that finds its list empty stops its own timer.
#include <windows.h>

#include <atomic>

#include "uilib/widgets/ad.h"
#include "uilib/widgets/image.h"

namespace uilib {
namespace {

constexpr UINT_PTR kFadeTimer = 1;
constexpr UINT_PTR kSlideTimer = 2;
constexpr UINT kWakeTransitionTimers = WM_APP + 1;
constexpr UINT kTransitionTickMs = 1;
constexpr wchar_t kTimerWindowClass[] = L"UILibPictureTimers";

std::atomic<HWND> g_timer_window{nullptr};
// Which transition timers run; read by tests from any thread.
std::atomic<bool> g_fade_timer_running{false};
std::atomic<bool> g_slide_timer_running{false};

void CALLBACK OnImageAnimationTick(HWND, UINT, UINT_PTR, DWORD) { TickPictureAnimations(ImageAnimationList()); }
void CALLBACK OnAdAnimationTick(HWND, UINT, UINT_PTR, DWORD) { TickPictureAnimations(AdAnimationList()); }

struct TransitionTimer {
  UINT_PTR id;
  ElementList& list;
  std::atomic<bool>& running;
};

TransitionTimer TimerFor(UINT_PTR id) {
  if (id == kFadeTimer) return {kFadeTimer, ImageFadeList(), g_fade_timer_running};
  return {kSlideTimer, ImageSlideList(), g_slide_timer_running};
}

void StartIfListed(HWND window, const TransitionTimer& timer) {
  if (timer.running.load() || timer.list.Empty()) return;
  if (SetTimer(window, timer.id, kTransitionTickMs, nullptr) != 0) timer.running.store(true);
}

// The list's elements repaint; the painting ends finished transitions and
// takes them off the list, so once it is empty nothing is left to move. An
// element that joins after this check posts a wake-up, handled after us.
void Tick(HWND window, const TransitionTimer& timer) {
  timer.list.RepaintUnion();
  if (!timer.list.Empty()) return;
  KillTimer(window, timer.id);
  timer.running.store(false);
}

LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kWakeTransitionTimers:
      StartIfListed(window, TimerFor(kFadeTimer));
      StartIfListed(window, TimerFor(kSlideTimer));
      return 0;
    case WM_TIMER:
      if (wparam != kFadeTimer && wparam != kSlideTimer) break;
      Tick(window, TimerFor(wparam));
      return 0;
    default: break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND CreateTimerWindow() {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = &TimerWindowProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = kTimerWindowClass;
  RegisterClassW(&window_class);  // fails harmlessly when already registered
  return CreateWindowExW(0, kTimerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, window_class.hInstance,
                         nullptr);
}

}  // namespace

void StartImageTimers() {
  static const bool started = [] {
    SetTimer(nullptr, 0, 100, &OnImageAnimationTick);
    g_timer_window.store(CreateTimerWindow());
    return true;
  }();
  (void)started;
}

void WakeImageTransitionTimers() {
  if (HWND window = g_timer_window.load()) PostMessageW(window, kWakeTransitionTimers, 0, 0);
}

bool ImageTransitionTimersRunning() { return g_fade_timer_running.load() || g_slide_timer_running.load(); }

void StartAdTimer() {
  static const bool started = [] {
    SetTimer(nullptr, 0, 100, &OnAdAnimationTick);
    return true;
  }();
  (void)started;
}

}  // namespace uilib
