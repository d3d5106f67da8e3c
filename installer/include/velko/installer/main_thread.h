// CMainThread: the installer's controller. It owns a message-only window whose
// private messages (install_messages.h) drive the whole run: the skinned
// Welcome and Install windows of the UI library, the install worker, and the
// registration, shortcut and launch steps. One instance per process.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "velko/installer/controller_logic.h"
#include "velko/installer/install_worker.h"
#include "velko/window/message_loop.h"
#include "velko/window/window_base.h"

class IUILib;
class IUILibElement;
class IUILibWindow;

namespace velko::installer {

class CMainThread final : public velko::window::WindowBase {
 public:
  // WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, no extended style.
  static constexpr DWORD kStyle = 0x56000000;
  static constexpr wchar_t kMutexName[] = L"{EA46CAF6-FBFA-437A-AC10-841335B00F6B}";

  // Starts the UI library with the entry point's values and makes this the
  // process's controller (g_pMainThread).
  CMainThread(HINSTANCE instance, HINSTANCE previous, LPWSTR command_line, int show_command);
  // Stops and waits for the install worker, then deletes the temporary
  // archive: the worker never outlives the state it writes, and never writes
  // into a file that is already gone.
  ~CMainThread() override;

  // The message-only controller window. False when it could not be created,
  // which includes every reason WM_CREATE refuses (second instance, skin not
  // loadable, no Welcome window).
  bool CreateControllerWindow();
  // The message loop; returns the WM_QUIT code: 0, or -1 after a failed install.
  int Run();

  // Test and benchmark builds: start installing as soon as the Welcome window
  // exists, as if the install button had been clicked.
  void BeginInstallWhenCreated() { begin_install_when_created_ = true; }

 protected:
  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result) override;
  const wchar_t* WindowClassName() const override { return L"VelkoInstallerMainThread"; }

 private:
  LRESULT OnCreate();
  void OnDestroy();
  void OnBeginInstall();
  void OnStartWorker();
  void OnUpdateProgress();
  void ShowProgress(double progress);
  void OnConsentChanged(bool checked);
  void OnMinimizeWindows();
  LRESULT OnAskBrowserRunning();
  void OnRegisterBrowser();
  void OnMakeShortcuts();
  void OnLaunchBrowser();
  void OnInstallFailed();

  static constexpr wchar_t kFailureCaption[] = L"岚石浏览器安装";

  IUILib* m_pLib = nullptr;  // never released: lives until the process ends
  IUILibWindow* m_pWelcomeWnd = nullptr;
  IUILibWindow* m_pInstallWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;
  InstallState state_;  // m_dProgress, m_strTempArchive, m_strInstallDir
  ProgressPacer progress_pacer_;
  std::unique_ptr<ControllerWindowHost> host_;
  std::unique_ptr<InstallWorker> worker_;
  velko::window::MessageLoop loop_;
  bool begin_install_when_created_ = false;
  bool asking_ = false;      // inside the running-browser question
  bool destroying_ = false;  // WM_DESTROY has begun
  int exit_code_ = 0;        // -1 once the install failed
};

// The process's one controller; the event handlers reach it through this.
extern CMainThread* g_pMainThread;

// Handlers registered with the UI library under their own names. Both post
// the message for the clicked element's id and always report it handled.
int WelcomeEventHandler(const char* event_name, IUILibElement* element);
int InstallEventHandler(const char* event_name, IUILibElement* element);

// The native window of a skinned window, or null.
HWND NativeWindowOf(IUILibWindow* window);

}  // namespace velko::installer
