// A window-services double that records what elements ask of their window,
// backed by a real MouseRouter for tracking and capture.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "uilib/element.h"
#include "uilib/mouse_router.h"
#include "uilib/window.h"
#include "uilib/window_services.h"

namespace uilib::testing {

class RecordingScrollBar : public NativeScrollBar {
 public:
  void SetRangeAndPage(int maximum, int page, bool redraw) override {
    this->maximum = maximum;
    this->page = page;
    this->redraw = redraw;
  }
  void Move(int x, int y, int w, int h) override { moved = RepaintRect{x, y, x + w, y + h}; }
  int Position() const override { return position; }
  void SetPosition(int p) override { position = p; }
  void PostThumbPosition(int p) override { posted_thumb = p; }

  int maximum = -1;
  int page = -1;
  bool redraw = false;
  RepaintRect moved;
  int position = 0;
  std::optional<int> posted_thumb;
};

class RecordingHost : public MouseRouterHost {
 public:
  bool IsPopupWithoutCaption() override { return popup_without_caption; }
  PointI CursorScreenPosition() override { return cursor; }
  PointI WindowOrigin() override { return origin; }
  void MoveWindowTo(PointI o) override { origin = o; }
  void CaptureForDrag() override { ++drag_captures; }
  void TakeFocus() override { ++focus_taken; }
  void StartDeferredClickTimer() override { timer_running = true; }
  void KillDeferredClickTimer() override { timer_running = false; }
  void RequestLeaveNotification() override { ++leave_requests; }
  void SetCursor(Cursor c) override { cursor_kind = c; }

  bool popup_without_caption = true;
  PointI cursor;
  PointI origin;
  int drag_captures = 0;
  int focus_taken = 0;
  bool timer_running = false;
  int leave_requests = 0;
  Cursor cursor_kind = Cursor::kNone;
};

class RecordingServices : public WindowServices {
 public:
  explicit RecordingServices(CUILibWindow* window) : router(window, &host), window_(window) {
    window->AttachServices(this);
  }
  ~RecordingServices() override { window_->AttachServices(nullptr); }

  void RequestRepaint(std::optional<RepaintRect> rect) override { repaints.push_back(rect); }
  void RequestRelayout() override { ++relayouts; }
  void TrackElement(CUILibElement* e) override { router.Track(e); }
  void ForgetElement(CUILibElement* e) override {
    forgotten.push_back(e);
    router.Forget(e);
  }
  void HideTooltip(CUILibElement* e) override { hidden_tips.push_back(e); }
  std::unique_ptr<NativeScrollBar> CreateNativeScrollBar(CUILibElement*) override {
    auto bar = std::make_unique<RecordingScrollBar>();
    last_scroll_bar = bar.get();
    return bar;
  }
  IUILibElement* CaptureMouse(CUILibElement* e) override { return router.Capture(e); }
  void ReleaseMouse() override {
    ++releases;
    router.ReleaseCapture();
  }
  void RegisterScrolled(CUILibElement* e, const std::string& id) override { scrolled.emplace_back(e, id); }
  void RegisterWheelForwarder(CUILibElement* e, const std::string& id) override { wheel.emplace_back(e, id); }
  void UnregisterScrollLinks(CUILibElement* e) override { unregistered.push_back(e); }
  void RegisterScrollBar(CUILibElement* bar, const std::string& id) override { scroll_bars.emplace_back(bar, id); }
  void SendScrollRequest(CUILibElement* bar, int code, int track) override {
    scroll_requests.push_back({bar, code, track});
  }
  void RegisterChildControl(NativeWindow control, CUILibElement* e) override { child_controls.emplace_back(control, e); }
  void UnregisterChildControl(NativeWindow) override {}
  void StartAnimationTimer(std::uintptr_t id) override { timers.push_back(id); }
  void KillAnimationTimer(std::uintptr_t id) override { killed_timers.push_back(id); }
  PointF CursorClientPosition() override { return cursor_client; }
  NativeWindow Handle() override { return nullptr; }

  RecordingHost host;
  MouseRouter router;
  std::vector<std::optional<RepaintRect>> repaints;
  int relayouts = 0;
  int releases = 0;
  std::vector<CUILibElement*> forgotten;
  std::vector<CUILibElement*> hidden_tips;
  std::vector<CUILibElement*> unregistered;
  std::vector<std::pair<CUILibElement*, std::string>> scrolled;
  std::vector<std::pair<CUILibElement*, std::string>> wheel;
  std::vector<std::pair<NativeWindow, CUILibElement*>> child_controls;
  struct ScrollRequest {
    CUILibElement* bar;
    int code;
    int track;
  };
  std::vector<std::pair<CUILibElement*, std::string>> scroll_bars;
  std::vector<ScrollRequest> scroll_requests;
  std::vector<std::uintptr_t> timers;
  std::vector<std::uintptr_t> killed_timers;
  RecordingScrollBar* last_scroll_bar = nullptr;
  PointF cursor_client;

 private:
  CUILibWindow* window_;
};

}  // namespace uilib::testing
