// A vertical scroll bar control of a skinned window, owned by the element
// whose content it scrolls. Destroying it destroys the control and tells the
// window to forget it.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

#include "uilib/window_services.h"

namespace uilib::win {

// Posted to the control's parent to scroll it to the thumb position in
// wParam (all 32 bits, which WM_VSCROLL cannot carry); lParam is the control.
inline constexpr UINT kMsgRestoreThumbPosition = WM_APP + 0x55;

// The scroll record that sets range 0..maximum and page (a negative page
// counts as none), for scroll bar controls and scroll bar elements alike.
SCROLLINFO RangeAndPageInfo(int maximum, int page);

class NativeScrollBarControl : public NativeScrollBar {
 public:
  NativeScrollBarControl(HWND control, std::function<void()> on_destroy)
      : control_(control), on_destroy_(std::move(on_destroy)) {}
  ~NativeScrollBarControl() override;

  void SetRangeAndPage(int maximum, int page, bool redraw) override;
  void Move(int x, int y, int width, int height) override;
  // On the control's own thread: the control's position. On any other thread
  // (the render thread, painting under the tree lock): the position the
  // owning thread last read or set, since asking the control would wait for
  // that thread, which may itself be waiting for the tree lock.
  int Position() const override;
  void SetPosition(int position) override;
  // Posts kMsgRestoreThumbPosition.
  void PostThumbPosition(int position) override;

  HWND Control() const { return control_; }

 private:
  bool OnOwnerThread() const;

  HWND control_;
  std::function<void()> on_destroy_;
  mutable std::atomic<int> known_position_{0};
};

}  // namespace uilib::win
