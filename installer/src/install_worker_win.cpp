#include "velko/installer/install_worker.h"

#include <process.h>

#include <algorithm>
#include <string_view>

#include "velko/file_utils.h"
#include "velko/staged_swap.h"
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

bool IsExistingFolder(const std::wstring& folder) {
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
    case ExtractionStatus::kFileFailed: return InstallOutcome::kFileFailed;
    case ExtractionStatus::kOpenFailed:
    case ExtractionStatus::kReopenFailed:
    case ExtractionStatus::kDamaged:
    case ExtractionStatus::kIncomplete: return InstallOutcome::kArchiveUnreadable;
  }
  return InstallOutcome::kArchiveUnreadable;
}

InstallOutcome OutcomeOfSwap(SwapStatus status) {
  switch (status) {
    case SwapStatus::kSwapped: return InstallOutcome::kFinished;
    case SwapStatus::kInUse: return InstallOutcome::kFilesInUse;
    case SwapStatus::kFailed: return InstallOutcome::kSwapFailed;
  }
  return InstallOutcome::kSwapFailed;
}

// Names tried for the temporary archive: the tick count, then the next
// numbers, never a file that is there already.
constexpr unsigned long kTempNameAttempts = 16;
// How long an update of the installation that runs right now may delay us.
constexpr DWORD kSwapLockWaitMs = 30000;

PackageWriteResult WritePackage(const InstallPlan& plan) {
  const unsigned long tick = GetTickCount();
  PackageWriteResult written;
  for (unsigned long attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    written = WritePackageToTempFile(plan.package_module, TempArchivePath(plan.temp_folder, tick + attempt));
    if (written.status != PackageWriteStatus::kNameTaken) break;
  }
  return written;
}

std::wstring FailedFileDetail(const ExtractionResult& extracted) {
  if (extracted.status != ExtractionStatus::kFileFailed) return AnsiToWide(ExtractionStatusText(extracted.status));
  return extracted.failed_entry + L" (" + AnsiToWide(LibraryErrorText(extracted.library_error)) + L")";
}

struct UnpackResult {
  InstallOutcome outcome;
  std::wstring detail;
  bool began = true;  // the archive opened: files may have been written
};

// Failures before anything could be written (no package, no temporary
// file, an archive that does not open) end the worker quietly, leaving the
// Install window for the user to close, as they always did. Once unpacking
// has begun, a failure is reported and ends the installer.
bool IsReportedFailure(InstallOutcome outcome, bool unpacking_began) {
  return unpacking_began && outcome != InstallOutcome::kFinished && outcome != InstallOutcome::kStopped &&
         outcome != InstallOutcome::kUserGaveUp;
}

bool IsEmptyFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool empty = true;
  do {
    const std::wstring_view name = found.cFileName;
    if (name != L"." && name != L"..") empty = false;
  } while (empty && FindNextFileW(search, &found));
  FindClose(search);
  return empty;
}

// A first install goes into an empty folder: the whole staging folder then
// takes its place with two renames instead of one move per file (with its
// folders checked) and a journal. The empty folder is put aside first and
// back if the staging folder cannot follow, so any failure leaves things as
// they were and the file-by-file swap runs instead. A folder held open
// elsewhere cannot be renamed and takes that path too.
bool MoveStagingIntoEmptyFolder(const std::wstring& install_folder) {
  if (!IsEmptyFolder(install_folder)) return false;
  const std::wstring aside = install_folder + L".empty";
  if (!MoveFileExW(install_folder.c_str(), aside.c_str(), 0)) return false;
  if (!MoveFileExW(StagingFolderFor(install_folder).c_str(), install_folder.c_str(), 0)) {
    MoveFileExW(aside.c_str(), install_folder.c_str(), 0);
    return false;
  }
  RemoveDirectoryW(aside.c_str());
  return true;
}

// Unpacks into the staging folder beside the install folder, then swaps the
// files in. On any failure the install folder keeps what it had.
UnpackResult UnpackAndSwap(const std::wstring& archive, const std::wstring& install_folder,
                           InstallHost& host, const std::atomic<bool>& stop) {
  ExtractionHooks hooks;
  hooks.progress = [&host](std::size_t done, std::size_t total) {
    host.ProgressChanged(std::min(1.0, static_cast<double>(done) / static_cast<double>(total)));
  };
  hooks.between_passes = [] { MarkPhase("files counted"); };
  const std::wstring staging = StagingFolderFor(install_folder);
  const ExtractionResult extracted = ExtractArchiveToFolder(archive, staging, hooks, stop);
  MarkPhase("extraction ended");
  const InstallOutcome outcome = OutcomeOfExtraction(extracted.status);
  if (outcome != InstallOutcome::kFinished) {
    RemoveFolderTree(staging);
    return {outcome, FailedFileDetail(extracted), extracted.status != ExtractionStatus::kOpenFailed};
  }
  if (MoveStagingIntoEmptyFolder(install_folder)) {
    MarkPhase("files swapped in");
    return {InstallOutcome::kFinished, {}, true};
  }
  const SwapResult swapped = SwapStagedFiles(install_folder);
  MarkPhase("files swapped in");
  return {OutcomeOfSwap(swapped.status), swapped.file, true};
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
  // The folder itself (not its parents); an existing folder is fine.
  const bool folder_created =
      !plan.install_folder.empty() && CreateDirectoryW(plan.install_folder.c_str(), nullptr) != FALSE;
  if (!folder_created && (plan.install_folder.empty() || !IsExistingFolder(plan.install_folder))) {
    return InstallOutcome::kNoInstallFolder;
  }
  InstallOutcome outcome = InstallOutcome::kFinished;
  std::wstring detail;
  bool unpacking_began = false;
  switch (WaitUntilBrowserClosed(plan.install_folder, host, stop)) {
    case BrowserCheck::kUserGaveUp:
      host.UserGaveUp();
      return InstallOutcome::kUserGaveUp;
    case BrowserCheck::kStopped: return InstallOutcome::kStopped;
    case BrowserCheck::kNotRunning: break;
  }
  // No update may swap files while this run does.
  const SwapLock lock(kSwapLockWaitMs);
  if (!lock.held()) {
    host.InstallFailed(InstallOutcome::kFilesInUse, plan.install_folder);
    return InstallOutcome::kFilesInUse;
  }
  // An update that was cut off half-way is undone first: this run's files
  // must not be rolled back by its journal later.
  RecoverInterruptedSwap(plan.install_folder);
  MarkPhase("checks done");
  PackageWriteResult written = WritePackage(plan);
  MarkPhase("temporary archive written");
  // Whoever created the file owns it from here on, even a half-written one.
  if (!written.path.empty()) host.TempArchiveCreated(written.path);
  switch (written.status) {
    case PackageWriteStatus::kWritten: {
      UnpackResult unpacked = UnpackAndSwap(written.path, plan.install_folder, host, stop);
      outcome = unpacked.outcome;
      detail = std::move(unpacked.detail);
      unpacking_began = unpacked.began;
      break;
    }
    case PackageWriteStatus::kModuleNotLoadable:
    case PackageWriteStatus::kResourceMissing: outcome = InstallOutcome::kNoPackage; break;
    case PackageWriteStatus::kNameTaken:
    case PackageWriteStatus::kFileNotCreatable:
    case PackageWriteStatus::kWriteFailed: outcome = InstallOutcome::kTempFileFailed; break;
  }
  written.file.Close();  // the controller deletes the file at the end
  if (outcome == InstallOutcome::kFinished) {
    host.ExtractionFinished(plan.install_folder);
    return outcome;
  }
  // Only a folder this run made, and only when empty: nothing is lost.
  if (folder_created) RemoveDirectoryW(plan.install_folder.c_str());
  if (IsReportedFailure(outcome, unpacking_began)) host.InstallFailed(outcome, detail);
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
    case InstallOutcome::kFileFailed: return "file failed";
    case InstallOutcome::kFilesInUse: return "files in use";
    case InstallOutcome::kSwapFailed: return "swap failed";
  }
  return "unknown";
}

std::wstring InstallFailureText(InstallOutcome outcome, const std::wstring& detail) {
  std::wstring text;
  switch (outcome) {
    case InstallOutcome::kFilesInUse: text = L"安装失败：有文件正被其他程序使用，请关闭浏览器后重试。"; break;
    case InstallOutcome::kArchiveUnreadable:
    case InstallOutcome::kFileFailed: text = L"安装失败：安装包已损坏，请重新下载安装程序。"; break;
    default: text = L"安装失败：浏览器文件未能写入，请稍后重试。"; break;
  }
  if (!detail.empty()) text += L"\r\n" + detail;
  return text;
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

ControllerWindowHost::ControllerWindowHost(HWND controller_window, InstallState& state)
    : window_(controller_window), state_(state), questions_released_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

ControllerWindowHost::~ControllerWindowHost() {
  if (questions_released_ != nullptr) CloseHandle(questions_released_);
}

bool ControllerWindowHost::AskGiveUpWhileBrowserRuns() {
  if (questions_released_ != nullptr) WaitForSingleObject(questions_released_, INFINITE);
  // A window that is gone answers 0 ("try again"); the stop flag ends that loop.
  return SendMessageW(window_, WM_ASK_BROWSER_RUNNING, 0, 0) != 0;
}

void ControllerWindowHost::TempArchiveCreated(const std::wstring& path) { state_.temp_archive = path; }

void ControllerWindowHost::ProgressChanged(double fraction) {
  state_.progress.store(fraction);
  if (!state_.progress_posted.exchange(true)) PostMessageW(window_, WM_UPDATE_PROGRESS, 0, 0);
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

void ControllerWindowHost::InstallFailed(InstallOutcome outcome, const std::wstring& detail) {
  state_.failure_text = InstallFailureText(outcome, detail);
  PostMessageW(window_, WM_INSTALL_FAILED, 0, 0);
}

}  // namespace velko::installer
