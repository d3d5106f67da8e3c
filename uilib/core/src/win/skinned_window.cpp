// Creation, destruction and message dispatch of skinned windows, and the
// private messages through which elements reach their window.
#include "uilib/win/skinned_window.h"

#include <commctrl.h>
#include <tinyxml.h>

#include "uilib/animation.h"
#include "uilib/binding_ref.h"
#include "uilib/library_state.h"
#include "uilib/text_ref.h"
#include "uilib/text_util.h"
#include "uilib/tree_lock.h"
#include "uilib/win/blur_behind.h"
#include "uilib/win/common_controls.h"
#include "uilib/win/icon_ref.h"
#include "uilib/win/native_scroll_bar_control.h"
#include "uilib/win/layered_children.h"
#include "uilib/win/uilib_runtime.h"

namespace uilib::win {
namespace {

std::optional<WorkArea> g_work_area_override;

constexpr DWORD kPurgeWaitMs = 2000;

// The tooltip control's one tool: the whole window, tracked.
TOOLINFOW WindowTool(HWND window) {
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  return tool;
}

}  // namespace

WorkArea CurrentWorkArea() {
  if (g_work_area_override) return *g_work_area_override;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return WorkArea{work.left, work.top, work.right, work.bottom};
}

void SetWorkAreaForTesting(std::optional<WorkArea> work_area) { g_work_area_override = work_area; }

SkinnedWindow::SkinnedWindow(const TiXmlElement* xml, IUILib* lib)
    : CUILibWindow(xml, lib), router_(this, this) {
  AttachServices(this);
}

SkinnedWindow::~SkinnedWindow() {
  // A window still alive is destroyed while the object is whole, so that its
  // last messages find every member in place.
  DestroyNativeWindow();
  AttachServices(nullptr);
  // Children that outlived the native window (the tree lock was busy) go
  // before the members their scroll bar controls refer to.
  DeleteChildren();
  if (region_ != nullptr) DeleteObject(region_);
}

void SkinnedWindow::CustomizeWindowClass(WNDCLASSEXW& window_class) const {
  window_class.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
}

bool SkinnedWindow::CreateNativeWindow(NativeWindow parent, const NativeRect* default_rect) {
  attributes_ = ReadWindowAttributes(*Xml());
  if (!attributes_.geometry_valid) return false;
  std::optional<uilib::WindowRect> fallback;
  if (default_rect != nullptr) {
    fallback = uilib::WindowRect{default_rect->left, default_rect->top, default_rect->right, default_rect->bottom};
  }
  const uilib::WindowRect placed =
      ComputeWindowRect(attributes_, CurrentWorkArea(), fallback ? &*fallback : nullptr);
  style_ = attributes_.EffectiveStyle();
  ex_style_ = attributes_.ex_style;
  if ((ex_style_ & WS_EX_LAYERED) != 0) {
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    // Per-pixel alpha needs a 32-bit display; elsewhere the window is an
    // ordinary one.
    if (depth != 32) ex_style_ &= ~static_cast<std::uint32_t>(WS_EX_LAYERED);
  }
  layered_ = (ex_style_ & WS_EX_LAYERED) != 0;
  window_rect_ = RECT{placed.left, placed.top, placed.right, placed.bottom};
  AdjustWindowRectEx(&window_rect_, style_, FALSE, ex_style_);
  small_icon_ = attributes_.icon.empty() ? nullptr : LoadIconRef(attributes_.icon);
  big_icon_ = attributes_.icon_big.empty() ? nullptr : LoadIconRef(attributes_.icon_big);
  const std::wstring title = ResolveText(Library(), attributes_.title);
  velko::window::WindowCreateParams params;
  params.parent = parent;
  params.rect = window_rect_;
  params.title = title.c_str();
  params.style = style_;
  params.ex_style = ex_style_;
  Runtime* runtime = ActiveRuntime();
  HINSTANCE instance = runtime != nullptr && runtime->module != nullptr ? runtime->module : GetModuleHandleW(nullptr);
  if (Create(instance, params) == nullptr) return false;
  AfterCreate();
  return hwnd() != nullptr;
}

LRESULT SkinnedWindow::OnCreate() {
  OnAttach(hwnd());
  if (CallCreateHandler() == -1) return -1;
  if (small_icon_ != nullptr) ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));
  if (big_icon_ != nullptr) ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_));
  // The tooltip control comes from the common controls library, whose load
  // would delay the window's first picture; it is made right after that
  // picture, before any input can reach the window.
  PostMessage(kMsgCreateTooltip, 0, 0);
  CreateDecoration();
  return 0;
}

int SkinnedWindow::CallCreateHandler() {
  // FireEvent folds every nonzero answer into 1, so the handler's own -1
  // (refuse the window) is read from a direct call.
  auto handler = reinterpret_cast<UILibEventHandler>(BoundHandler(*this, "oncreate"));
  return handler != nullptr ? handler("oncreate", this) : 0;
}

void* SkinnedWindow::BoundHandler(const CUILibElement& element, const char* attribute) const {
  return FindBound(Library(), element.Xml()->Attribute(attribute));
}

void SkinnedWindow::CreateTooltip() {
  if (tooltip_ != nullptr || destroying_ || !StartCommonControls()) return;
  tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, nullptr, nullptr);
  if (tooltip_ == nullptr) return;
  TOOLINFOW tool = WindowTool(hwnd());
  tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
  tool.lpszText = const_cast<wchar_t*>(L"");
  ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 1000);
}

void SkinnedWindow::AfterCreate() {
  if (region_ != nullptr) ApplyRegionCopy();
  if (attributes_.drop_shadow) {
    SetClassLongPtrW(hwnd(), GCL_STYLE, GetClassLongPtrW(hwnd(), GCL_STYLE) | CS_DROPSHADOW);
  }
  if (layered_) {
    CreateSurface(window_rect_.right - window_rect_.left, window_rect_.bottom - window_rect_.top);
    ::SendMessageW(hwnd(), kMsgRepaint, 0, 0);
  }
}

void SkinnedWindow::DestroyNativeWindow() {
  if (hwnd() != nullptr) DestroyWindow();
}

void SkinnedWindow::OnDestroy() {
  destroying_ = true;
  surface_.reset();  // selects the previous bitmap back into the memory DC
  {
    ScopedTreeLock lock(Library());
    if (lock.Acquired()) {
      // The children's destruction must not ask this window for anything.
      AttachServices(nullptr);
      DeleteChildren();
      AttachServices(this);
      // The router may still point at the destroyed elements.
      router_ = MouseRouter(this, this);
      right_pressed_ = nullptr;
    }
  }
  if (Runtime* runtime = ActiveRuntime(); runtime != nullptr && runtime->render_thread) {
    runtime->render_thread->Purge(this, kPurgeWaitMs);
  } else {
    State().render_queue.Purge(this);
  }
  if (tooltip_ != nullptr) {
    ::DestroyWindow(tooltip_);
    tooltip_ = nullptr;
  }
  native_scroll_bars_.clear();
  child_controls_.clear();
  scroll_links_.Clear();
  scroll_bars_.clear();
  wheel_queue_.clear();
  animation_timers_.clear();
}

bool SkinnedWindow::ProcessWindowMessage(HWND, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  DispatchScope dispatching(*this);
  if (HandleMouseMessage(message, wparam, lparam, result)) return true;
  ForwardToDecoration(message, wparam, lparam);
  if (HandleScrollMessage(message, wparam, lparam, result)) return true;
  if ((message >= kMsgTrackElement && message <= kMsgRepaint) || message == kMsgCreateTooltip) {
    return HandlePrivateMessage(message, wparam, lparam, result);
  }
  return HandleLifecycleMessage(message, wparam, lparam, result);
}

bool SkinnedWindow::HandleLifecycleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  switch (message) {
    case WM_CREATE:
      result = OnCreate();
      return true;
    case WM_DESTROY:
      OnDestroy();
      result = 0;
      return true;
    case WM_MOVE:
      OffsetRect(&window_rect_, static_cast<short>(LOWORD(lparam)) - window_rect_.left,
                 static_cast<short>(HIWORD(lparam)) - window_rect_.top);
      return false;
    case WM_SIZE:
      OnSize(LOWORD(lparam), HIWORD(lparam));
      return false;
    case WM_PAINT:
      OnPaint();
      result = 0;
      return true;
    case WM_SETREDRAW:
      result = 0;
      return OnSetRedraw(wparam != 0);
    case WM_CLOSE:
      // Only a handler that takes "onclose" closes the window.
      if (FireEvent("onclose") != 0) DestroyWindow();
      result = 0;
      return true;
    case WM_ERASEBKGND:
      if (attributes_.blur_behind) EnableBlurBehind(hwnd(), region_);
      result = 1;
      return true;
    case WM_GETDLGCODE:
      result = DLGC_WANTALLKEYS;
      return true;
    case WM_COMMAND:
      OnCommand(wparam, lparam);
      return false;
    case WM_PARENTNOTIFY:
      // Controls in a layered window show only through its surface.
      if (LOWORD(wparam) == WM_CREATE) MirrorChildPaints(hwnd(), reinterpret_cast<HWND>(lparam));
      return false;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_RESTORE) PostMessage(kMsgRepaint, 0, 0);
      return false;
    case WM_TIMER:
      OnTimer(wparam);
      result = 0;
      return true;
    case WM_VSCROLL:
      OnVScroll(wparam, lparam);
      result = 0;
      return true;
    case WM_MOUSEWHEEL:
      OnMouseWheel(wparam, lparam);
      result = 0;
      return true;
    case WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
      result = reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
      return true;
    case WM_SIZING:
      if (auto* proposed = reinterpret_cast<RECT*>(lparam)) {
        if (attributes_.min_width >= 0 && proposed->right - proposed->left < attributes_.min_width) {
          proposed->right = proposed->left + attributes_.min_width;
        }
        if (attributes_.min_height >= 0 && proposed->bottom - proposed->top < attributes_.min_height) {
          proposed->bottom = proposed->top + attributes_.min_height;
        }
      }
      result = TRUE;
      return true;
    default:
      return false;
  }
}

bool SkinnedWindow::HandlePrivateMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  result = 0;
  auto* element = reinterpret_cast<CUILibElement*>(wparam);
  switch (message) {
    case kMsgTrackElement:
      if (element != nullptr) router_.Track(element);
      return true;
    case kMsgCreateScrollBar:
      if (auto* out = reinterpret_cast<HWND*>(lparam)) *out = CreateScrollBarControl(element);
      return true;
    case kMsgForgetElement:
      ForgetEverywhere(element);
      return true;
    case kMsgTooltip:
      ShowTooltip(reinterpret_cast<const wchar_t*>(wparam), reinterpret_cast<CUILibElement*>(lparam));
      return true;
    case kMsgRelayout: {
      ScopedTreeChange change(Library(), "relayout");
      Layout(Rect(), nullptr, nullptr);
      return true;
    }
    case kMsgRebuildRegion:
      RebuildRegion();
      return true;
    case kMsgCreateTooltip:
      CreateTooltip();
      return true;
    case kMsgDecorationPosition:
      return true;  // the decoration window's own message
    case kMsgRepaint:
      OnRepaintRequest(wparam, lparam);
      return true;
    default:
      return false;
  }
}

void SkinnedWindow::OnSize(int width, int height) {
  {
    ScopedTreeChange change(Library(), "window size");
    Layout(uilib::RectF{0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height)}, nullptr, nullptr);
  }
  if (region_ != nullptr) {
    DeleteObject(region_);
    region_ = nullptr;
  }
  // The recorded window rectangle keeps its origin and takes the new size.
  RECT now{};
  if (GetWindowRect(hwnd(), &now)) {
    window_rect_.right = window_rect_.left + (now.right - now.left);
    window_rect_.bottom = window_rect_.top + (now.bottom - now.top);
  }
  // A layered window larger than its surface would no longer be pushed.
  if (layered_ && surface_ && (surface_->Width() != width || surface_->Height() != height)) {
    CreateSurface(width, height);
    ::SendMessageW(hwnd(), kMsgRepaint, 0, 0);
  }
}

void SkinnedWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
  // Only the controls that elements created here are elements' controls:
  // the user data of any other child window means nothing to the library.
  if (HIWORD(wparam) != 1 || lparam == 0) return;
  auto found = child_controls_.find(reinterpret_cast<HWND>(lparam));
  if (found != child_controls_.end()) found->second->FireEvent("onselchange");
}

void SkinnedWindow::OnTimer(UINT_PTR timer_id) {
  if (timer_id == kDeferredClickTimer) {
    router_.OnDeferredClickTimer();
    return;
  }
  if (timer_id == kWheelScrollTimer) {
    if (wheel_queue_.empty()) {
      KillTimer(kWheelScrollTimer);  // set again by the next wheel turn
      return;
    }
    const WheelScroll next = wheel_queue_.front();
    wheel_queue_.erase(wheel_queue_.begin());
    // Applied here rather than posted: WM_VSCROLL would carry only 16 bits.
    ScrollNativeBar(next.scroll_bar, SB_THUMBTRACK, next.position);
    return;
  }
  if (animation_timers_.count(timer_id) != 0) {
    // The timer's id is the address of the animation record, which lives
    // until its element ends the animation (and kills the timer).
    auto* record = reinterpret_cast<AnimationRecord*>(timer_id);
    record->element->TickAnimation(timer_id, MonotonicNowMs());
  }
}

// The wheel timer runs only while turns wait: an idle window is not woken
// 25 times a second.
void SkinnedWindow::QueueWheelScroll(HWND scroll_bar, int position) {
  if (wheel_queue_.empty()) SetTimer(kWheelScrollTimer, kWheelScrollMs);
  wheel_queue_.push_back({scroll_bar, position});
}

void SkinnedWindow::ShowTooltip(const wchar_t* text, CUILibElement* element) {
  if (text != nullptr) CreateTooltip();  // asked before its posted creation
  if (tooltip_ == nullptr) return;
  TOOLINFOW tool = WindowTool(hwnd());
  if (text == nullptr) {
    ::SendMessageW(tooltip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    return;
  }
  tooltip_text_ = text;
  tool.lpszText = tooltip_text_.data();
  ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  POINT at{0, 0};
  if (element != nullptr) {
    at.x = TruncToInt(element->Rect().x);
    at.y = TruncToInt(element->Rect().y + element->Rect().h) - element->ScrollOffset();
  }
  ClientToScreen(hwnd(), &at);
  ::SendMessageW(tooltip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
  ::SendMessageW(tooltip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace uilib::win
