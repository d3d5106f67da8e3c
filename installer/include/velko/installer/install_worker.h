// The install worker: creates the install folder, waits until the browser no
// longer runs from it, writes the package to a temporary archive, unpacks it
// with progress and reports the end. It runs once per process on a thread of
// its own and talks to the controller only through an InstallHost.
//
// How the controller drives it: on the install click, DefaultInstallPlan(its
// instance) and an InstallWorker over a ControllerWindowHost(its window, its
// InstallState), then Start() while the Install window is built; WM_UPDATE_PROGRESS calls state.TakeProgress();
// WM_REGISTER_BROWSER, WM_MAKE_SHORTCUTS and WM_LAUNCH_BROWSER pass
// state.install_folder to RegisterBrowser, CreateShortcuts and
// LaunchBrowserAndUpdater; at the end StopAndWait() comes before the
// temporary archive (state.temp_archive) is deleted.
#pragma once

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>

namespace velko::installer {

enum class InstallOutcome;

// What the worker asks of and reports to the program that runs it. All calls
// come from the worker thread.
class InstallHost {
 public:
  virtual ~InstallHost() = default;
  // The browser runs from the install folder. True means the user gives up.
  virtual bool AskGiveUpWhileBrowserRuns() = 0;
  // The temporary archive exists from now on; its owner deletes it at the end.
  virtual void TempArchiveCreated(const std::wstring& path) = 0;
  // Fraction 0.0-1.0 of the files handled so far.
  virtual void ProgressChanged(double fraction) = 0;
  // All files are out: register, show 100 %, make shortcuts, launch.
  virtual void ExtractionFinished(const std::wstring& install_folder) = 0;
  // The user gave up in the running-browser question: end the program.
  virtual void UserGaveUp() = 0;
  // The install failed (never kFinished, kUserGaveUp or
  // kStopped); what this run wrote is gone. `detail` names the file concerned
  // and the reason, or is empty. The controller's host reports it and ends
  // with a failure code; a host without a user (a benchmark) may ignore it.
  virtual void InstallFailed(InstallOutcome /*outcome*/, const std::wstring& /*detail*/) {}
};

struct InstallPlan {
  std::wstring install_folder;  // created if missing (last component only)
  std::wstring package_module;  // file that holds the PACKAGE/PDATA resource
  std::wstring temp_folder;     // where "<tick>.rar" is written
};

// The plan of a real run: Program Files\VelkoBrowser, the installer's own
// file, the local application-data folder. nullopt when a folder is unknown.
std::optional<InstallPlan> DefaultInstallPlan(HMODULE installer_module);

enum class InstallOutcome {
  kFinished,           // ExtractionFinished was reported
  kUserGaveUp,         // UserGaveUp was reported
  kStopped,            // the stop flag ended the run
  kNoInstallFolder,    // the install folder is unknown or cannot be created
  kNoPackage,          // installer not loadable as data, or resource missing
  kTempFileFailed,     // temporary archive not creatable or not fully written
  kArchiveUnreadable,  // the archive did not open, a header was damaged, or
                       // the second pass found fewer files than the first
  kFileFailed,         // a file could not be unpacked (checksum, encrypted, disk full ...)
  kFilesInUse,         // a file to be replaced is in use by another program
  kSwapFailed,         // the unpacked files could not be moved into place
};

const char* InstallOutcomeText(InstallOutcome outcome);

// The worker's whole sequence, on the calling thread. `stop` is checked in
// the running-browser loop and between archive entries. The package is
// unpacked into a staging folder beside the install folder and swapped in
// only when every file was written (velko/staged_swap.h), so a failed run
// leaves the install folder as it found it (and removes it when this run
// created it). A failure once the archive has opened is reported through
// InstallFailed; earlier ones (no package, no temporary file, an archive
// that does not open) end quietly.
InstallOutcome RunInstall(const InstallPlan& plan, InstallHost& host, const std::atomic<bool>& stop);

// Owns the worker thread. Destroying it (or StopAndWait) raises the stop flag
// and waits for the thread, so the worker never outlives the state it writes.
class InstallWorker {
 public:
  InstallWorker(InstallPlan plan, InstallHost& host);
  ~InstallWorker();
  InstallWorker(const InstallWorker&) = delete;
  InstallWorker& operator=(const InstallWorker&) = delete;

  bool Start();  // false when the thread could not be created or already ran
  // Raises the stop flag and waits for the thread to end. While waiting it
  // dispatches messages sent to this thread's windows, so a worker blocked in
  // SendMessage to the caller's thread can finish; a handler of the
  // running-browser question should answer "give up" at once when
  // stop_requested() is true instead of showing its box.
  void StopAndWait();
  bool stop_requested() const { return stop_.load(); }
  std::optional<InstallOutcome> outcome() const;  // set once the thread ended

 private:
  static unsigned __stdcall ThreadMain(void* self);

  InstallPlan plan_;
  InstallHost& host_;
  std::atomic<bool> stop_{false};
  std::atomic<int> outcome_{-1};
  HANDLE thread_ = nullptr;
};

// Values the worker writes for the controller. Each is written before the
// message that makes the controller read it is posted.
struct InstallState {
  std::atomic<double> progress{0.0};
  // A WM_UPDATE_PROGRESS is queued and not yet read: further changes only
  // store their value, so the controller's queue holds at most one progress
  // message however fast the files come.
  std::atomic<bool> progress_posted{false};
  std::wstring temp_archive;
  std::wstring install_folder;
  std::wstring failure_text;  // the message shown on WM_INSTALL_FAILED

  // The controller's read on WM_UPDATE_PROGRESS: the latest value. The flag
  // is cleared first, so a change stored after this read posts again.
  double TakeProgress() {
    progress_posted.store(false);
    return progress.load();
  }
  // While the controller waits for its frame timer, which reads the latest
  // value anyway, the worker need not post: the flag is set again so that it
  // only stores. Every message wakes the UI thread, whose work competes with
  // the unpacking for the processor (about one per file otherwise).
  void QuietUntilNextRead() { progress_posted.store(true); }
};

// The text the user reads when an install failed.
std::wstring InstallFailureText(InstallOutcome outcome, const std::wstring& detail);

// The host a controller uses: stores into InstallState and posts the
// controller's private messages to its window; the running-browser question
// is sent (WM_ASK_BROWSER_RUNNING), so the worker waits for the answer.
class ControllerWindowHost final : public InstallHost {
 public:
  ControllerWindowHost(HWND controller_window, InstallState& state);
  ~ControllerWindowHost() override;
  ControllerWindowHost(const ControllerWindowHost&) = delete;
  ControllerWindowHost& operator=(const ControllerWindowHost&) = delete;

  // While held, the running-browser question waits before it is sent: the
  // controller holds it while it builds its windows, and releases it before
  // it ever waits for the worker.
  void HoldQuestions() { ResetEvent(questions_released_); }
  void ReleaseQuestions() { SetEvent(questions_released_); }

  bool AskGiveUpWhileBrowserRuns() override;
  void TempArchiveCreated(const std::wstring& path) override;
  void ProgressChanged(double fraction) override;
  void ExtractionFinished(const std::wstring& install_folder) override;
  void UserGaveUp() override;
  void InstallFailed(InstallOutcome outcome, const std::wstring& detail) override;

 private:
  HWND window_;
  InstallState& state_;
  HANDLE questions_released_;  // manual-reset event, set unless held
};

}  // namespace velko::installer
