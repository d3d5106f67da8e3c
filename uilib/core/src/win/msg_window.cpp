#include "uilib/win/msg_window.h"

HWND CUILibMsgWindow::Create(HINSTANCE instance) {
  velko::window::WindowCreateParams params;
  params.parent = HWND_MESSAGE;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  return WindowBase::Create(instance, params);
}
