#pragma once
// The controller of task mode: a message-only window that drives the engine
// bootstrap, the download and the apply step by messages.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "download_apply.h"
#include "update_answer.h"
#include "updater_settings.h"
#include "engine_bootstrap.h"
#include "velko/engine/down_wrapper.h"
#include "velko/engine/engine_download_steps.h"
#include "velko/engine/engine_task_params.h"
#include "velko/window/message_loop.h"
#include "velko/window/window_base.h"

namespace velko::updater {

// What the update check found.
struct UpdateInfo {
  std::string package_url;      // UTF-8, as the service sent it
  PackageIntegrity integrity;   // what the package must be, when the service said so
  void* engine_task = nullptr;  // the download engine's task, null when none
};

// What the controller uses beyond its messages; the defaults are the real
// ones, tests replace the parts that would reach the network or the machine.
struct ControllerServices {
  bootstrap::EngineBootstrapOptions bootstrap_options =
      bootstrap::EngineBootstrapOptions::FromBuildSettings();
  engine::EngineLoadFailureReport report_engine_load_failure = engine::ShowEngineLoadFailureBox;
  std::wstring download_folder;  // empty: "<local app data>\commdl"
  std::wstring target_folder;    // empty: "<Program Files>\VelkoBrowser"
  ApplySteps apply_steps;        // empty members: the real steps
  // A download that has not ended by then counts as failed.
  std::uint64_t poll_deadline_ms = std::uint64_t{settings::kEnginePollDeadlineS} * 1000;
  // A downloaded package above this size is not applied.
  std::uint64_t max_package_bytes = settings::kMaxPackageBytes;
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
  const std::wstring& package_path() const { return package_path_; }
  const engine::DownWrapper* down_wrapper() const { return down_wrapper_.get(); }
  const engine::EngineTaskParams* task_params() const { return task_params_.get(); }
  // The outcome of the last apply step, for diagnostics and tests.
  std::optional<ApplyOutcome> apply_outcome() const { return apply_outcome_; }
  // The downloaded package failed its size or SHA-256 check and was deleted.
  bool package_rejected() const { return package_rejected_; }
  // Must be called before CreateControllerWindow.
  void SetServices(ControllerServices services);

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
  bool PackageIsIntact() const;
  bool StartEngineBootstrap();
  bool StartDownload();
  void EndRun();

  HINSTANCE instance_;
  int show_command_;
  velko::window::MessageLoop message_loop_;
  ControllerServices services_;
  std::unique_ptr<bootstrap::EngineBootstrap> bootstrap_;
  std::unique_ptr<engine::DownWrapper> down_wrapper_;
  std::unique_ptr<UpdateInfo> update_info_;
  std::unique_ptr<engine::EngineTaskParams> task_params_;
  std::wstring package_path_;
  std::uint64_t download_started_ms_ = 0;
  std::optional<ApplyOutcome> apply_outcome_;
  bool package_rejected_ = false;
};

}  // namespace velko::updater
