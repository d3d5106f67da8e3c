#include "uilib/win/native_scroll_bar_control.h"

namespace uilib::win {

SCROLLINFO RangeAndPageInfo(int maximum, int page) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE;
  info.nMin = 0;
  info.nMax = maximum;
  info.nPage = page > 0 ? static_cast<UINT>(page) : 0u;
  return info;
}

NativeScrollBarControl::~NativeScrollBarControl() {
  if (on_destroy_) on_destroy_();
  if (IsWindow(control_)) DestroyWindow(control_);
}

void NativeScrollBarControl::SetRangeAndPage(int maximum, int page, bool redraw) {
  SCROLLINFO info = RangeAndPageInfo(maximum, page);
  SetScrollInfo(control_, SB_CTL, &info, redraw ? TRUE : FALSE);
  Position();  // a smaller range may have moved the position
}

void NativeScrollBarControl::Move(int x, int y, int width, int height) {
  MoveWindow(control_, x, y, width, height, TRUE);
}

bool NativeScrollBarControl::OnOwnerThread() const {
  return GetWindowThreadProcessId(control_, nullptr) == GetCurrentThreadId();
}

int NativeScrollBarControl::Position() const {
  if (!OnOwnerThread()) return known_position_.load();
  const int position = GetScrollPos(control_, SB_CTL);
  known_position_.store(position);
  return position;
}

void NativeScrollBarControl::SetPosition(int position) {
  SetScrollPos(control_, SB_CTL, position, TRUE);
  Position();
}

void NativeScrollBarControl::PostThumbPosition(int position) {
  PostMessageW(GetParent(control_), kMsgRestoreThumbPosition, static_cast<WPARAM>(static_cast<UINT>(position)),
               reinterpret_cast<LPARAM>(control_));
}

}  // namespace uilib::win
