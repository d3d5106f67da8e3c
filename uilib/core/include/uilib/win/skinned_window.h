// The native side of CUILibWindow on Windows: a window of class "UILibHWND"
// joined to the element tree of one `window` element. It creates the native
// window from the window attributes, turns Windows messages into element
// operations (mouse routing, scrolling, close, sizing), offers the elements
// their window services through the private messages 1525-1536, and paints
// the tree: into a 32-bit memory surface pushed with UpdateLayeredWindow for
// layered windows, otherwise into the window's device context on the window's
// thread or on the render thread.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "uilib/mouse_router.h"
#include "uilib/render_queue.h"
#include "uilib/scroll_links.h"
#include "uilib/window.h"
#include "uilib/window_attributes.h"
#include "uilib/window_services.h"
#include "uilib/win/gdiplus_include.h"
#include "uilib/win/layered_surface.h"
#include "uilib/win/shadow_window.h"
#include "velko/window/window_base.h"

namespace uilib::win {

// Private messages of skinned windows.
inline constexpr UINT kMsgTrackElement = 1525;
inline constexpr UINT kMsgCreateScrollBar = 1526;
inline constexpr UINT kMsgForgetElement = 1529;
inline constexpr UINT kMsgTooltip = 1530;
inline constexpr UINT kMsgRelayout = 1531;
inline constexpr UINT kMsgRebuildRegion = 1534;
inline constexpr UINT kMsgDecorationPosition = 1535;
inline constexpr UINT kMsgRepaint = 1536;
// Posted to itself at creation: the tooltip is made after the first picture.
inline constexpr UINT kMsgCreateTooltip = 1538;

inline constexpr UINT_PTR kDeferredClickTimer = 4096;
inline constexpr UINT_PTR kWheelScrollTimer = 4097;
inline constexpr UINT kWheelScrollMs = 40;
// Width of a native vertical scroll bar strip.
inline constexpr int kScrollBarStripPx = 17;

// The work area that window placement uses: SPI_GETWORKAREA, unless a test
// set one.
WorkArea CurrentWorkArea();
void SetWorkAreaForTesting(std::optional<WorkArea> work_area);

class SkinnedWindow : public CUILibWindow,
                      public velko::window::WindowBase,
                      private WindowServices,
                      private MouseRouterHost,
                      private RepaintTarget {
 public:
  SkinnedWindow(const TiXmlElement* xml, IUILib* lib);
  ~SkinnedWindow() override;

  // CUILibWindow
  NativeWindow NativeHandle() const override { return hwnd(); }
  bool CreateNativeWindow(NativeWindow parent, const NativeRect* default_rect) override;
  void DestroyNativeWindow() override;
  void FadeIn(std::uint32_t duration_ms) override;
  void FadeOut(std::uint32_t duration_ms) override;
  void Hide() override;
  void Show() override;

  const WindowAttributes& Attributes() const { return attributes_; }
  // The window rectangle of the last creation or move (screen coordinates).
  const RECT& WindowRect() const { return window_rect_; }
  bool IsLayered() const { return layered_; }
  // The memory surface of a layered window (null otherwise).
  const LayeredSurface* Surface() const { return surface_.get(); }
  HRGN Region() const { return region_; }
  HWND TooltipControl() const { return tooltip_; }
  // The `border` decoration window (null without one).
  const CShadowWindow* Decoration() const { return decoration_.get(); }
  // Queues a thumb-track position for a scroll bar control; one entry is
  // applied every 40 ms.
  void QueueWheelScroll(HWND scroll_bar, int position);

 protected:
  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
  const wchar_t* WindowClassName() const override { return L"UILibHWND"; }
  void CustomizeWindowClass(WNDCLASSEXW& window_class) const override;

 private:
  // Creation and destruction (skinned_window.cpp).
  LRESULT OnCreate();
  // The raw answer of the handler that "oncreate" binds (0 without one).
  int CallCreateHandler();
  // What `attribute` of `element` binds with "uilib::NAME": the handler or
  // item provider registered under NAME (null without one).
  void* BoundHandler(const CUILibElement& element, const char* attribute) const;
  void OnDestroy();
  void CreateTooltip();
  void AfterCreate();
  bool HandleLifecycleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  bool HandlePrivateMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  void OnTimer(UINT_PTR timer_id);
  void OnSize(int width, int height);
  void OnCommand(WPARAM wparam, LPARAM lparam);
  void ShowTooltip(const wchar_t* text, CUILibElement* element);

  // Mouse input (skinned_window_mouse.cpp).
  bool HandleMouseMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  void ForgetEverywhere(CUILibElement* element);

  // Painting (skinned_window_paint.cpp).
  void OnPaint();
  void PaintLayered(RECT update);
  void PushLayered(BYTE alpha);
  void PaintIntoDc(HDC dc, const RECT& rect);
  void OnRepaintRequest(WPARAM wparam, LPARAM lparam);
  // WM_SETREDRAW; false when the system should handle it.
  bool OnSetRedraw(bool allow);
  void RebuildRegion();
  // Gives the native window a copy of `region_` (the system owns the region a
  // window is given).
  void ApplyRegionCopy();
  // Ends a LockWindowUpdate of this window, if one is held.
  void ReleaseUpdateLock();
  // A layered window's surface, as large as the window; made again when the
  // window's size changes.
  void CreateSurface(int width, int height);
  void RampAlpha(std::uint32_t duration_ms, bool fade_in);
  void PaintDirect(const PixelRect& rect) override;

  // The `border` decoration (skinned_window_decoration.cpp): created with
  // the window when its image loads; it sees every message of the window.
  void CreateDecoration();
  void ForwardToDecoration(UINT message, WPARAM wparam, LPARAM lparam);

  // Scrolling (skinned_window_scroll.cpp).
  // Messages that scroll without WM_VSCROLL's 16-bit limit.
  bool HandleScrollMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  HWND CreateScrollBarControl(CUILibElement* element);
  // WM_VSCROLL for a native scroll bar control or a scroll bar element.
  void OnVScroll(WPARAM wparam, LPARAM lparam);
  // A scroll request for a native control, with the whole track position.
  void ScrollNativeBar(HWND control, int code, int track);
  // A scroll request for the scroll bar element registered under `id`: every
  // element linked to it by `vscroll` moves, in registration order.
  void ScrollLinkedElements(const std::string& id, CUILibElement* bar, int code, unsigned track_word);
  void GiveScrollOffset(CUILibElement* scrolled, int position);
  void RepaintScrolled(CUILibElement* scrolled);
  void OnMouseWheel(WPARAM wparam, LPARAM lparam);
  void NotifyProvider(CUILibElement* scrolled, bool at_end);
  // The scroll bar element registered under that id (the last one).
  CUILibElement* FindScrollBar(const std::string& id);
  void ForgetScrollBar(const CUILibElement* element);

  // WindowServices
  void RequestRepaint(std::optional<RepaintRect> rect) override;
  void RequestRelayout() override;
  void TrackElement(CUILibElement* element) override;
  void ForgetElement(CUILibElement* element) override;
  void HideTooltip(CUILibElement* element) override;
  std::unique_ptr<NativeScrollBar> CreateNativeScrollBar(CUILibElement* element) override;
  IUILibElement* CaptureMouse(CUILibElement* element) override;
  void ReleaseMouse() override;
  void RegisterScrolled(CUILibElement* element, const std::string& scroll_bar_id) override;
  void RegisterWheelForwarder(CUILibElement* element, const std::string& scroll_bar_id) override;
  void UnregisterScrollLinks(CUILibElement* element) override;
  void RegisterScrollBar(CUILibElement* bar, const std::string& id) override;
  void SendScrollRequest(CUILibElement* bar, int code, int track) override;
  void RegisterChildControl(NativeWindow control, CUILibElement* element) override;
  void UnregisterChildControl(NativeWindow control) override;
  void StartAnimationTimer(std::uintptr_t timer_id) override;
  void KillAnimationTimer(std::uintptr_t timer_id) override;
  PointF CursorClientPosition() override;
  NativeWindow Handle() override { return hwnd(); }

  // MouseRouterHost
  bool IsPopupWithoutCaption() override;
  PointI CursorScreenPosition() override;
  PointI WindowOrigin() override;
  void MoveWindowTo(PointI origin) override;
  void CaptureForDrag() override;
  void TakeFocus() override;
  void StartDeferredClickTimer() override;
  void KillDeferredClickTimer() override;
  void RequestLeaveNotification() override;
  void SetCursor(Cursor cursor) override;

  struct WheelScroll {
    HWND scroll_bar;
    int position;
  };

  WindowAttributes attributes_;
  std::uint32_t style_ = 0;
  std::uint32_t ex_style_ = 0;
  RECT window_rect_{};
  HICON small_icon_ = nullptr;
  HICON big_icon_ = nullptr;
  bool layered_ = false;
  HRGN region_ = nullptr;
  std::unique_ptr<LayeredSurface> surface_;
  RECT pending_layered_{};  // invalidated but not yet painted (layered)
  bool redraw_held_ = false;  // WM_SETREDRAW FALSE on a layered window
  // The part the paint under way repainted: its push replaces only that.
  RECT painted_part_{};
  HWND tooltip_ = nullptr;
  std::wstring tooltip_text_;
  MouseRouter router_;
  CUILibElement* right_pressed_ = nullptr;
  std::map<HWND, CUILibElement*> native_scroll_bars_;
  // Child controls created by elements, for WM_COMMAND.
  std::map<HWND, CUILibElement*> child_controls_;
  ScrollLinks scroll_links_;
  // Scroll bar elements by lower-case id.
  std::map<std::string, CUILibElement*> scroll_bars_;
  std::vector<WheelScroll> wheel_queue_;
  std::set<std::uintptr_t> animation_timers_;
  std::unique_ptr<CShadowWindow> decoration_;
  bool updates_locked_ = false;
  bool destroying_ = false;
};

}  // namespace uilib::win
