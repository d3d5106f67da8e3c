// The decoration window of a skinned window whose `window` element has a
// `border` image.
#include "uilib/win/skinned_window.h"

namespace uilib::win {

void SkinnedWindow::CreateDecoration() {
  if (attributes_.border.empty()) return;
  const BorderOffset offset = attributes_.border_offset.value_or(BorderOffset{});
  // No decoration when the image does not load; the window stays as it is.
  decoration_ = CShadowWindow::Create(hwnd(), attributes_.border, offset.x, offset.y);
}

void SkinnedWindow::ForwardToDecoration(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!decoration_) return;
  decoration_->OnOwnerMessage(message, wparam, lparam);
  if (message == WM_DESTROY) decoration_.reset();
}

}  // namespace uilib::win
