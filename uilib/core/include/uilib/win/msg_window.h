// CUILibMsgWindow: the library's message-only window. It owns the download
// retry timers and starts the download requests posted to it (from any
// thread) on the UI thread.
#pragma once

#include "velko/window/window_base.h"

namespace uilib::win {
// Posted to the message window: run the queued download requests.
inline constexpr UINT kMsgRunDownloads = WM_USER + 1;
}  // namespace uilib::win

class CUILibMsgWindow : public velko::window::WindowBase {
 public:
  // Message-only, style WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN.
  HWND Create(HINSTANCE instance);

 protected:
  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
  const wchar_t* WindowClassName() const override { return L"CUILibMsgWindow"; }
};
