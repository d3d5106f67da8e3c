// What UILibStartup created, for the library's Windows code: the message
// window, the thread timers, the download service (which opens the transfer
// multi handle with the first transfer), GDI+ and the render thread. The locks and queues shared with the
// Win32-free code are in uilib/library_state.h.
#pragma once

#include <winsock2.h>
#include <curl/curl.h>
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "uilib/win/curl_download_service.h"
#include "uilib/win/gdiplus_session.h"
#include "uilib/win/msg_window.h"
#include "uilib/win/render_thread.h"

namespace uilib::win {

inline constexpr UINT kNetworkPumpMs = 1;   // while transfers run
inline constexpr UINT kIdlePumpMs = 1000;    // otherwise
inline constexpr UINT kScrollStepMs = 10;    // while a drag queues positions
inline constexpr UINT kDeletionMs = 1000;

struct Runtime {
  HMODULE module = nullptr;
  CUILibMsgWindow message_window;
  UINT_PTR pump_timer = 0;
  UINT pump_pace_ms = 0;
  UINT_PTR scroll_timer = 0;  // 0 while no drag queues positions
  UINT_PTR deletion_timer = 0;
  std::unique_ptr<CurlDownloadService> downloads;
  std::unique_ptr<GdiplusSession> gdiplus;
  std::unique_ptr<RenderThread> render_thread;
  DWORD ui_thread_id = 0;
  bool ok = false;
};

// Null before UILibStartup.
Runtime* ActiveRuntime();

// The download cache folder: the user's temporary folder + "UILibTemp".
// Empty when the temporary folder cannot be found (files are then not
// downloaded at all).
std::wstring DownloadCacheFolder();
// `temp_folder` + "UILibTemp"; empty when `temp_folder` is empty or relative.
std::wstring CacheFolderUnder(std::wstring_view temp_folder);

}  // namespace uilib::win
