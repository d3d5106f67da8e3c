#include "velko/installer/install_worker.h"

#include <process.h>

#include <algorithm>

#include "velko/file_utils.h"
#include "velko/installer/install_locations.h"
#include "velko/installer/install_messages.h"
#include "velko/installer/package_extraction.h"
#include "velko/installer/phase_trace.h"

namespace velko::installer {
namespace {

constexpr DWORD kModulePathChars = 1000;

std::wstring ModulePath(HMODULE module) {
  std::wstring path(kModulePathChars, L'\0');
  const DWORD length = GetModuleFileNameW(module, path.data(), kModulePathChars);
  path.resize(length < kModulePathChars ? length : 0);  // a cut-off path is no path
  return path;
}

// Creates the folder itself (not its parents); an existing folder is fine.
bool EnsureFolder(const std::wstring& folder) {
  if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

enum class BrowserCheck { kNotRunning, kUserGaveUp, kStopped };

// The browser must not run from the folder we write into. The user is asked
// until it no longer runs or the user gives up; there is no limit.
BrowserCheck WaitUntilBrowserClosed(const std::wstring& folder, InstallHost& host,
                                    const std::atomic<bool>& stop) {
  while (IsBrowserRunning(folder)) {
    if (stop.load()) return BrowserCheck::kStopped;
    if (host.AskGiveUpWhileBrowserRuns()) return BrowserCheck::kUserGaveUp;
  }
  return BrowserCheck::kNotRunning;
}

InstallOutcome OutcomeOfExtraction(ExtractionStatus status) {
  switch (status) {
    case ExtractionStatus::kFinished: return InstallOutcome::kFinished;
    case ExtractionStatus::kStopped: return InstallOutcome::kStopped;
    case ExtractionStatus::kOpenFailed:
    case ExtractionStatus::kReopenFailed:
    case ExtractionStatus::kDamaged: return InstallOutcome::kArchiveUnreadable;
  }
  return InstallOutcome::kArchiveUnreadable;
}

}  // namespace

std::optional<InstallPlan> DefaultInstallPlan(HMODULE installer_module) {
  std::optional<std::wstring> install_folder = InstallFolderPath();
  std::optional<std::wstring> temp_folder = LocalAppDataFolder();
  std::wstring module_path = ModulePath(installer_module);
  if (!install_folder || !temp_folder || module_path.empty()) return std::nullopt;
  return InstallPlan{std::move(*install_folder), std::move(module_path), std::move(*temp_folder)};
}

InstallOutcome RunInstall(const InstallPlan& plan, InstallHost& host, const std::atomic<bool>& stop) {
  if (plan.install_folder.empty() || !EnsureFolder(plan.install_folder)) {
    return InstallOutcome::kNoInstallFolder;
  }
  switch (WaitUntilBrowserClosed(plan.install_folder, host, stop)) {
    case BrowserCheck::kUserGaveUp:
      host.UserGaveUp();
      return InstallOutcome::kUserGaveUp;
    case BrowserCheck::kStopped: return InstallOutcome::kStopped;
    case BrowserCheck::kNotRunning: break;
  }
  const PackageWriteResult written =
      WritePackageToTempFile(plan.package_module, TempArchivePath(plan.temp_folder, GetTickCount()));
  MarkPhase("temporary archive written");
  // Whoever created the file owns it from here on, even a half-written one.
  if (!written.path.empty()) host.TempArchiveCreated(written.path);
  switch (written.status) {
    case PackageWriteStatus::kWritten: break;
    case PackageWriteStatus::kModuleNotLoadable:
    case PackageWriteStatus::kResourceMissing: return InstallOutcome::kNoPackage;
    case PackageWriteStatus::kFileNotCreatable:
    case PackageWriteStatus::kWriteFailed: return InstallOutcome::kTempFileFailed;
  }
  ExtractionHooks hooks;
  hooks.progress = [&host](std::size_t done, std::size_t total) {
    host.ProgressChanged(std::min(1.0, static_cast<double>(done) / static_cast<double>(total)));
  };
  hooks.between_passes = [] { MarkPhase("files counted"); };
  const ExtractionResult extracted = ExtractArchiveToFolder(written.path, plan.install_folder, hooks, stop);
  const InstallOutcome outcome = OutcomeOfExtraction(extracted.status);
  MarkPhase("extraction ended");
  if (outcome == InstallOutcome::kFinished) host.ExtractionFinished(plan.install_folder);
  return outcome;
}

const char* InstallOutcomeText(InstallOutcome outcome) {
  switch (outcome) {
    case InstallOutcome::kFinished: return "finished";
    case InstallOutcome::kUserGaveUp: return "user gave up";
    case InstallOutcome::kStopped: return "stopped";
    case InstallOutcome::kNoInstallFolder: return "no install folder";
    case InstallOutcome::kNoPackage: return "no package";
    case InstallOutcome::kTempFileFailed: return "temporary file failed";
    case InstallOutcome::kArchiveUnreadable: return "archive unreadable";
  }
  return "unknown";
}

InstallWorker::InstallWorker(InstallPlan plan, InstallHost& host) : plan_(std::move(plan)), host_(host) {}

InstallWorker::~InstallWorker() { StopAndWait(); }

bool InstallWorker::Start() {
  if (thread_ != nullptr) return false;
  const uintptr_t handle = _beginthreadex(nullptr, 0, &InstallWorker::ThreadMain, this, 0, nullptr);
  thread_ = reinterpret_cast<HANDLE>(handle);
  return thread_ != nullptr;
}

unsigned __stdcall InstallWorker::ThreadMain(void* self) {
  auto* worker = static_cast<InstallWorker*>(self);
  const InstallOutcome outcome = RunInstall(worker->plan_, worker->host_, worker->stop_);
  worker->outcome_.store(static_cast<int>(outcome));
  return outcome == InstallOutcome::kFinished ? 0 : static_cast<unsigned>(-1);
}

void InstallWorker::StopAndWait() {
  stop_.store(true);
  if (thread_ == nullptr) return;
  // Messages sent to this thread (the running-browser question) are handled
  // while waiting; posted ones stay queued.
  while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(thread_);
  thread_ = nullptr;
}

std::optional<InstallOutcome> InstallWorker::outcome() const {
  const int value = outcome_.load();
  if (value < 0) return std::nullopt;
  return static_cast<InstallOutcome>(value);
}

bool ControllerWindowHost::AskGiveUpWhileBrowserRuns() {
  // A window that is gone answers 0 ("try again"); the stop flag ends that loop.
  return SendMessageW(window_, WM_ASK_BROWSER_RUNNING, 0, 0) != 0;
}

void ControllerWindowHost::TempArchiveCreated(const std::wstring& path) { state_.temp_archive = path; }

void ControllerWindowHost::ProgressChanged(double fraction) {
  state_.progress.store(fraction);
  PostMessageW(window_, WM_UPDATE_PROGRESS, 0, 0);
}

void ControllerWindowHost::ExtractionFinished(const std::wstring& install_folder) {
  state_.install_folder = install_folder;
  state_.progress.store(1.0);
  PostMessageW(window_, WM_REGISTER_BROWSER, 0, 0);
  PostMessageW(window_, WM_UPDATE_PROGRESS, 0, 0);
  PostMessageW(window_, WM_MAKE_SHORTCUTS, 0, 0);
  PostMessageW(window_, WM_LAUNCH_BROWSER, 0, 0);
}

void ControllerWindowHost::UserGaveUp() { PostMessageW(window_, WM_CLOSE_INSTALLER, 0, 0); }

}  // namespace velko::installer
