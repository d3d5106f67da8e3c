#include "velko/installer/main_thread.h"

#include <cstdint>
#include <vector>

#include "uilib/iuilib.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/uilib_startup.h"
#include "uilib/window.h"
#include "velko/installer/browser_registration.h"
#include "velko/installer/controller_logic.h"
#include "velko/installer/install_messages.h"
#include "velko/installer/phase_trace.h"
#include "velko/installer/process_control.h"
#include "velko/installer/shortcuts.h"

namespace velko::installer {

CMainThread* g_pMainThread = nullptr;

namespace {

// Shows a progress value that arrived too soon after the previous one.
constexpr UINT_PTR kProgressTimer = 1;

IUILibElement* AsElement(IUILibWindow* window) { return dynamic_cast<IUILibElement*>(window); }

// The first element with `id` below `window`, or null.
IUILibElement* FirstElementById(IUILibWindow* window, const char* id) {
  IUILibElement* root = AsElement(window);
  if (root == nullptr) return nullptr;
  std::vector<IUILibElement*> found;
  root->FindElementsById(found, id);
  return found.empty() ? nullptr : found.front();
}

void MinimizeIfPresent(IUILibWindow* window) {
  if (HWND native = NativeWindowOf(window)) PostMessageW(native, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

}  // namespace

HWND NativeWindowOf(IUILibWindow* window) {
  auto* library_window = dynamic_cast<CUILibWindow*>(window);
  return library_window != nullptr ? library_window->NativeHandle() : nullptr;
}

CMainThread::CMainThread(HINSTANCE instance, HINSTANCE previous, LPWSTR command_line, int show_command)
    : m_hInstance(instance) {
  UILibStartup(instance, reinterpret_cast<std::uintptr_t>(previous),
               reinterpret_cast<std::uintptr_t>(command_line), static_cast<std::uintptr_t>(show_command));
  MarkPhase("ui library started");
  g_pMainThread = this;
}

CMainThread::~CMainThread() {
  if (host_ != nullptr) host_->ReleaseQuestions();
  worker_.reset();  // raises the stop flag and waits for the thread
  host_.reset();
  if (!state_.temp_archive.empty()) DeleteFileW(state_.temp_archive.c_str());
  if (g_pMainThread == this) g_pMainThread = nullptr;
}

bool CMainThread::CreateControllerWindow() {
  velko::window::WindowCreateParams params;
  params.parent = HWND_MESSAGE;
  params.title = L"";
  params.style = kStyle;
  return Create(m_hInstance, params) != nullptr;
}

int CMainThread::Run() { return loop_.Run(); }

bool CMainThread::ProcessWindowMessage(HWND, UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_CREATE: result = OnCreate(); return true;
    case WM_DESTROY: OnDestroy(); return true;
    case WM_BEGIN_INSTALL: OnBeginInstall(); return true;
    case WM_MAKE_SHORTCUTS: OnMakeShortcuts(); return true;
    case WM_CLOSE_INSTALLER: DestroyWindow(); return true;
    case WM_MINIMIZE_WINDOWS: OnMinimizeWindows(); return true;
    case WM_LAUNCH_BROWSER: OnLaunchBrowser(); return true;
    case WM_UPDATE_PROGRESS: OnUpdateProgress(); return true;
    case WM_TIMER:
      if (wparam != kProgressTimer) return false;
      ::KillTimer(hwnd(), kProgressTimer);
      progress_pacer_.OnTimer();
      OnUpdateProgress();  // the latest value, now that the frame is over
      return true;
    case WM_CONSENT_CHANGED: OnConsentChanged(wparam != 0); return true;
    case WM_ASK_BROWSER_RUNNING: result = OnAskBrowserRunning(); return true;
    case WM_REGISTER_BROWSER: OnRegisterBrowser(); return true;
    case WM_INSTALL_FAILED: OnInstallFailed(); return true;
    default: return false;
  }
}

LRESULT CMainThread::OnCreate() {
  // Held, never released, for the life of the process.
  CreateMutexW(nullptr, TRUE, kMutexName);
  if (GetLastError() == ERROR_ALREADY_EXISTS) return -1;

  m_pLib = CreateUILib();
  if (m_pLib == nullptr || !m_pLib->LoadSkinFromResource(m_hInstance, L"UILIB", L"UILIB")) return -1;
  m_pLib->RegisterHandler("WelcomeEventHandler", reinterpret_cast<void*>(&WelcomeEventHandler));
  m_pLib->RegisterHandler("InstallEventHandler", reinterpret_cast<void*>(&InstallEventHandler));

  m_pWelcomeWnd = m_pLib->CreateWindowById("Welcome", nullptr, nullptr, nullptr);
  // Without its first window the installer could never be used or closed:
  // end at once instead of running invisibly.
  if (m_pWelcomeWnd == nullptr) return -1;
  MarkPhase("welcome window up");
  if (begin_install_when_created_) PostMessage(WM_BEGIN_INSTALL);
  return 0;
}

void CMainThread::OnDestroy() {
  destroying_ = true;
  if (m_pInstallWnd != nullptr) m_pLib->DestroyWindow(m_pInstallWnd);
  if (m_pWelcomeWnd != nullptr) m_pLib->DestroyWindow(m_pWelcomeWnd);
  // A held question is let through: it is answered "give up" at once below.
  if (host_ != nullptr) host_->ReleaseQuestions();
  // Stop the worker now rather than let it write on; the wait itself must
  // not happen inside the running-browser question, whose answer the worker
  // is waiting for (the destructor waits then).
  if (worker_ != nullptr && !asking_) worker_->StopAndWait();
  PostQuitMessage(exit_code_);
}

void CMainThread::OnBeginInstall() {
  // A second click (or a stray post) must not start a second install.
  if (m_pInstallWnd != nullptr || m_pLib == nullptr) return;
  MarkPhase("click");
  // The worker starts first: its checks and the package's temporary copy run
  // on the other core while the Install window is built and painted, instead
  // of after it. Its question about a running browser is held until the
  // window is up, so no message box can open in the middle of the build.
  OnStartWorker();
  m_pInstallWnd = m_pLib->CreateWindowById("Install", nullptr, nullptr, nullptr);
  if (m_pWelcomeWnd != nullptr) m_pLib->DestroyWindow(m_pWelcomeWnd);
  MarkPhase("install window up");
  // The window says 0 % first, as it did when the worker started after it;
  // what the worker has reached meanwhile follows at the display's pace.
  if (progress_pacer_.OnProgress(0.0, GetTickCount64()).action == ProgressPacer::Action::kShowNow) ShowProgress(0.0);
  PostMessage(WM_UPDATE_PROGRESS);
  if (host_ != nullptr) host_->ReleaseQuestions();
}

void CMainThread::OnStartWorker() {
  if (worker_ != nullptr || destroying_) return;
  std::optional<InstallPlan> plan = DefaultInstallPlan(m_hInstance);
  if (!plan) return;  // no folder to install into: the window stays at 0 %
  host_ = std::make_unique<ControllerWindowHost>(hwnd(), state_);
  host_->HoldQuestions();
  worker_ = std::make_unique<InstallWorker>(std::move(*plan), *host_);
  worker_->Start();
  MarkPhase("worker started");
}

void CMainThread::OnUpdateProgress() {
  const double progress = state_.TakeProgress();
  const ProgressPacer::Decision decision = progress_pacer_.OnProgress(progress, GetTickCount64());
  // The frame timer reads the latest value when it fires: until then the
  // worker's files need not wake this thread.
  if (progress_pacer_.TimerPending()) state_.QuietUntilNextRead();
  if (decision.action == ProgressPacer::Action::kShowLater) {
    ::SetTimer(hwnd(), kProgressTimer, static_cast<UINT>(decision.delay_ms), nullptr);
  } else if (decision.action == ProgressPacer::Action::kShowNow) {
    MarkPhase("progress showing");
    ShowProgress(progress);
    MarkPhase("progress shown");
  }
}

void CMainThread::ShowProgress(double progress) {
  IUILibElement* text = FirstElementById(m_pInstallWnd, "install-progress");
  if (text == nullptr) return;
  // Text and bar reach the screen in one push of the window, not one each:
  // a push costs milliseconds, taken from the extraction running meanwhile.
  HWND window = NativeWindowOf(m_pInstallWnd);
  if (window != nullptr) ::SendMessageW(window, WM_SETREDRAW, FALSE, 0);
  if (auto* label = dynamic_cast<IUILibLabel*>(text)) label->SetText(ProgressText(progress).c_str());
  if (auto* bar = dynamic_cast<IUILibProcess*>(FirstElementById(m_pInstallWnd, "circle-proc"))) {
    bar->SetProgress(ClampedProgress(progress));
  }
  if (window != nullptr) ::SendMessageW(window, WM_SETREDRAW, TRUE, 0);
}

void CMainThread::OnConsentChanged(bool checked) {
  if (IUILibElement* button = FirstElementById(m_pWelcomeWnd, "install-btn")) button->Enable(checked ? 1 : 0);
}

void CMainThread::OnMinimizeWindows() {
  MinimizeIfPresent(m_pInstallWnd);
  MinimizeIfPresent(m_pWelcomeWnd);
}

LRESULT CMainThread::OnAskBrowserRunning() {
  // Closing down: give up without asking, so the worker can end.
  if (destroying_ || (worker_ != nullptr && worker_->stop_requested())) return 1;
  asking_ = true;
  const BrowserRunningChoice choice = AskBrowserRunning(NativeWindowOf(m_pInstallWnd));
  asking_ = false;
  // The program may have been closed while the box was up.
  if (destroying_) return 1;
  return BrowserRunningAnswer(choice);
}

void CMainThread::OnRegisterBrowser() {
  RegisterBrowser(state_.install_folder);
  MarkPhase("registered");
}

void CMainThread::OnMakeShortcuts() {
  CreateShortcuts(state_.install_folder);
  MarkPhase("shortcuts made");
}

void CMainThread::OnInstallFailed() {
  // Nothing of this run is left in the install folder; the user is told why
  // and the program ends with a failure code.
  exit_code_ = -1;
  MarkPhase("install failed");
  if (!destroying_) {
    MessageBoxW(NativeWindowOf(m_pInstallWnd), state_.failure_text.c_str(), kFailureCaption,
                MB_OK | MB_ICONERROR);
  }
  DestroyWindow();
}

void CMainThread::OnLaunchBrowser() {
  LaunchBrowserAndUpdater(state_.install_folder);
  MarkPhase("browser and updater started");
  DestroyWindow();
  MarkPhase("windows destroyed");
}

}  // namespace velko::installer
