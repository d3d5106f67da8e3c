// CUILibMsgWindow: the library's message-only window. It handles no messages
// of its own; it owns the download retry timers.
#pragma once

#include "velko/window/window_base.h"

class CUILibMsgWindow : public velko::window::WindowBase {
 public:
  // Message-only, style WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN.
  HWND Create(HINSTANCE instance);

 protected:
  bool ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
  const wchar_t* WindowClassName() const override { return L"CUILibMsgWindow"; }
};
