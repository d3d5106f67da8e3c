#pragma once
// The controller of task mode: a message-only window that drives the engine
// bootstrap, the download and the apply step by messages.

#include <windows.h>

#include <memory>
#include <string>

#include "velko/window/message_loop.h"
#include "velko/window/window_base.h"

namespace velko::updater {

// What the update check found.
struct UpdateInfo {
  std::string package_url;      // UTF-8, as the service sent it
  void* engine_task = nullptr;  // the download engine's task, null when none
};

class CUpdateBrowserThread : public velko::window::WindowBase {
 public:
  static constexpr DWORD kStyle = 0x56000000;  // WS_CHILD|WS_VISIBLE|WS_CLIPSIBLINGS|WS_CLIPCHILDREN
  static constexpr DWORD kExStyle = 0;

  CUpdateBrowserThread(HINSTANCE instance, int show_command);
  ~CUpdateBrowserThread() override;

  // Replaces (and frees) any earlier record.
  void SetUpdateInfo(std::unique_ptr<UpdateInfo> info);
  const UpdateInfo* update_info() const { return update_info_.get(); }
  HINSTANCE instance() const { return instance_; }

  // Creates the message-only window; false when it does not exist afterwards.
  bool CreateControllerWindow();
  // Runs the message loop until WM_QUIT and returns its code.
  int RunMessageLoop();

 protected:
  const wchar_t* WindowClassName() const override { return L"VelkoUpdateBrowserThread"; }
  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result) override;

 private:
  LRESULT OnCreate();
  void OnEngineReady(wchar_t* engine_path);
  void OnPollTimer();
  void OnDownloadFailed(WPARAM failure_code);
  void OnDownloadComplete();
  bool StartEngineBootstrap();

  HINSTANCE instance_;
  int show_command_;
  velko::window::MessageLoop message_loop_;
  std::unique_ptr<UpdateInfo> update_info_;
  std::wstring package_path_;
};

}  // namespace velko::updater
