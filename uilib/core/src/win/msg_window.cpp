#include "uilib/win/msg_window.h"

#include "uilib/download_record.h"

HWND CUILibMsgWindow::Create(HINSTANCE instance) {
  velko::window::WindowCreateParams params;
  params.parent = HWND_MESSAGE;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  return WindowBase::Create(instance, params);
}

bool CUILibMsgWindow::ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
  if (message != uilib::win::kMsgRunDownloads) return false;
  if (uilib::DownloadService* service = uilib::ActiveDownloadService()) service->RunRequests();
  result = 0;
  return true;
}
