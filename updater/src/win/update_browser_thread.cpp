#include "update_browser_thread.h"

#include <cstdlib>

#include "updater_messages.h"

namespace velko::updater {

CUpdateBrowserThread::CUpdateBrowserThread(HINSTANCE instance, int show_command)
    : instance_(instance), show_command_(show_command) {}

CUpdateBrowserThread::~CUpdateBrowserThread() {
  // Freed in this order: package path, update record; the window base then
  // destroys a window that is still alive.
  package_path_.clear();
  update_info_.reset();
}

void CUpdateBrowserThread::SetUpdateInfo(std::unique_ptr<UpdateInfo> info) {
  update_info_ = std::move(info);
}

bool CUpdateBrowserThread::CreateControllerWindow() {
  velko::window::WindowCreateParams params;
  params.parent = HWND_MESSAGE;
  params.title = L"";
  params.style = kStyle;
  params.ex_style = kExStyle;
  return Create(instance_, params) != nullptr && IsWindow();
}

int CUpdateBrowserThread::RunMessageLoop() { return message_loop_.Run(); }

bool CUpdateBrowserThread::ProcessWindowMessage(HWND, UINT message, WPARAM wparam, LPARAM,
                                                LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_CREATE:
      result = OnCreate();
      return true;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return true;
    case WM_TIMER:
      if (wparam == POLL_TIMER) {
        OnPollTimer();
      }
      return true;
    case WM_ENGINE_READY:
      OnEngineReady(reinterpret_cast<wchar_t*>(wparam));
      return true;
    case WM_DOWNLOAD_FAILED:
      OnDownloadFailed(wparam);
      return true;
    case WM_DOWNLOAD_COMPLETE:
      OnDownloadComplete();
      return true;
    default:
      return false;
  }
}

LRESULT CUpdateBrowserThread::OnCreate() { return StartEngineBootstrap() ? 0 : -1; }

bool CUpdateBrowserThread::StartEngineBootstrap() {
  // The download engine is not part of this build yet: report "no engine",
  // which ends the run through the normal engine-ready path.
  return PostMessage(WM_ENGINE_READY, 0, 0);
}

void CUpdateBrowserThread::OnEngineReady(wchar_t* engine_path) {
  // The worker made the copy with _wcsdup; it is ours to free.
  const bool have_engine = engine_path != nullptr;
  std::free(engine_path);
  if (!have_engine || update_info_ == nullptr) {
    DestroyWindow();
    return;
  }
  // Loading the engine and starting the download come with the engine.
  DestroyWindow();
}

void CUpdateBrowserThread::OnPollTimer() {
  // Nothing to poll without an engine task.
  KillTimer(POLL_TIMER);
  DestroyWindow();
}

void CUpdateBrowserThread::OnDownloadFailed(WPARAM) {
  // Nothing else can happen in this run; idling until logoff helps nobody.
  KillTimer(POLL_TIMER);
  DestroyWindow();
}

void CUpdateBrowserThread::OnDownloadComplete() {
  DestroyWindow();
}

}  // namespace velko::updater
