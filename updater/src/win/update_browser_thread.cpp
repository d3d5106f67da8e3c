#include "update_browser_thread.h"

#include "package_apply.h"
#include "velko/file_digest.h"
#include "updater_messages.h"

namespace velko::updater {

CUpdateBrowserThread::CUpdateBrowserThread(HINSTANCE instance, int show_command)
    : instance_(instance), show_command_(show_command) {}

CUpdateBrowserThread::~CUpdateBrowserThread() {
  // Freed in this order: package path, task record, update record, engine
  // (unloading the library), bootstrap. The bootstrap thread is not waited
  // for: it has posted its only message by now. The window base then
  // destroys a window that is still alive.
  package_path_.clear();
  task_params_.reset();
  update_info_.reset();
  down_wrapper_.reset();
  bootstrap_.reset();
}

void CUpdateBrowserThread::SetUpdateInfo(std::unique_ptr<UpdateInfo> info) {
  update_info_ = std::move(info);
}

void CUpdateBrowserThread::SetServices(ControllerServices services) {
  services_ = std::move(services);
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
  bootstrap::EngineBootstrapOptions options = services_.bootstrap_options;
  options.ready_message = WM_ENGINE_READY;
  bootstrap_ = bootstrap::EngineBootstrap::Create(hwnd(), std::move(options));
  return bootstrap_ != nullptr;
}

void CUpdateBrowserThread::EndRun() {
  KillTimer(POLL_TIMER);
  DestroyWindow();
}

void CUpdateBrowserThread::OnEngineReady(wchar_t* engine_path) {
  // Takes over (and frees) the worker's heap copy of the path.
  const std::optional<std::wstring> path = bootstrap::TakeEngineReadyPath(
      reinterpret_cast<WPARAM>(engine_path));
  if (!path) {
    EndRun();  // no engine: the run ends without a word to the user
    return;
  }
  // Only the library the worker checked, still held against changes while
  // it is loaded; anything else counts as a library that does not load.
  std::optional<bootstrap::VerifiedEngine> verified =
      bootstrap_ != nullptr ? bootstrap_->TakeVerifiedEngine() : std::nullopt;
  if (!verified || verified->library_path != *path) {
    if (services_.report_engine_load_failure != nullptr) services_.report_engine_load_failure();
    EndRun();
    return;
  }
  std::unique_ptr<engine::DownWrapper> wrapper =
      engine::LoadDownloadEngine(*path, services_.report_engine_load_failure);
  verified.reset();  // loaded (or not): the files may change again
  if (wrapper == nullptr) {
    EndRun();
    return;
  }
  down_wrapper_ = std::move(wrapper);  // the new one first, then the old one goes
  if (!StartDownload()) EndRun();
}

bool CUpdateBrowserThread::StartDownload() {
  // Without an update record there is nothing to download, and a run that
  // polls nothing would never end.
  if (update_info_ == nullptr) return false;
  const std::wstring folder = services_.download_folder.empty()
                                  ? engine::DefaultDownloadFolder()
                                  : services_.download_folder;
  const engine::StartDownloadResult started =
      engine::StartDownloadTask(down_wrapper_.get(), update_info_->package_url, folder,
                                task_params_, update_info_->engine_task);
  if (started != engine::StartDownloadResult::kStarted) return false;
  download_started_ms_ = ::GetTickCount64();
  SetTimer(POLL_TIMER, kPollIntervalMs);
  return true;
}

void CUpdateBrowserThread::OnPollTimer() {
  if (down_wrapper_ == nullptr || update_info_ == nullptr || task_params_ == nullptr) {
    EndRun();
    return;
  }
  if (::GetTickCount64() - download_started_ms_ > services_.poll_deadline_ms) {
    // A download that never ends would keep this elevated process alive
    // forever; the engine is told to drop the task.
    KillTimer(POLL_TIMER);
    if (down_wrapper_->XL_DeleteTask != nullptr && update_info_->engine_task != nullptr) {
      down_wrapper_->XL_DeleteTask(update_info_->engine_task);
    }
    update_info_->engine_task = nullptr;
    PostMessage(WM_DOWNLOAD_FAILED, kDownloadDeadlineFailure, 0);
    return;
  }
  const engine::PollStepResult polled =
      engine::PollDownloadTask(*down_wrapper_, update_info_->engine_task, *task_params_);
  switch (polled.kind) {
    case engine::PollStepResult::Kind::kPending:
      return;
    case engine::PollStepResult::Kind::kFailed:
      KillTimer(POLL_TIMER);
      PostMessage(WM_DOWNLOAD_FAILED, static_cast<WPARAM>(static_cast<std::uint32_t>(polled.failure_code)), 0);
      return;
    case engine::PollStepResult::Kind::kComplete:
      package_path_ = polled.package_path;
      if (!package_path_.empty()) {
        KillTimer(POLL_TIMER);
        PostMessage(WM_DOWNLOAD_COMPLETE, 0, 0);
      }
      return;
    case engine::PollStepResult::Kind::kNoTask:
      // Nothing could ever complete: end instead of polling forever.
      EndRun();
      return;
  }
}

void CUpdateBrowserThread::OnDownloadFailed(WPARAM) {
  // Nothing else can happen in this run; idling until logoff helps nobody.
  // The next logon starts a new cycle.
  EndRun();
}

void CUpdateBrowserThread::OnDownloadComplete() {
  std::wstring target = services_.target_folder;
  if (target.empty()) target = ApplyTargetFolder().value_or(std::wstring());
  ApplySteps steps = ApplySteps::ForProcess(instance_);
  if (services_.apply_steps.is_browser_running) {
    steps.is_browser_running = services_.apply_steps.is_browser_running;
  }
  if (services_.apply_steps.start_self_copy) {
    steps.start_self_copy = services_.apply_steps.start_self_copy;
  }
  if (services_.apply_steps.extract_in_place) {
    steps.extract_in_place = services_.apply_steps.extract_in_place;
  }
  if (!package_path_.empty() && !PackageIsIntact()) {
    // A failed attempt: the bad file goes, so that the next run downloads
    // afresh instead of resuming it.
    package_rejected_ = true;
    ::DeleteFileW(package_path_.c_str());
  } else if (!package_path_.empty()) {
    apply_outcome_ = ApplyDownloadedPackage(package_path_, target, steps);
    // The copy has its own copy of the path.
    if (apply_outcome_ == ApplyOutcome::kCopyStarted) package_path_.clear();
  }
  EndRun();
}

bool CUpdateBrowserThread::PackageIsIntact() const {
  const HeldFile package(package_path_);
  const std::optional<FileDigest> digest = package.Digest(services_.max_package_bytes);
  if (!digest) return false;
  const PackageIntegrity& expected = update_info_->integrity;
  return (!expected.size || digest->size == *expected.size) &&
         (!expected.sha256 || digest->sha256 == *expected.sha256);
}

}  // namespace velko::updater
