// The installer's dealings with other processes: the question while the
// browser runs from the install folder, and the final starts of the browser
// (as the desktop user, not elevated) and of the updater (elevated).
#pragma once

#include <windows.h>

#include <string>

namespace velko::installer {

inline constexpr wchar_t kBrowserRunningText[] =
    L"岚石浏览器正在运行，请关闭后点击【重试】按钮！\r\n或者【取消】退出安装";
inline constexpr wchar_t kBrowserRunningCaption[] = L"提示";

enum class BrowserRunningChoice { kRetry, kGiveUp };

// The retry/cancel box (no icon) owned by `owner` (may be null). Retry means
// try again; Cancel, or closing the box any other way, means give up.
BrowserRunningChoice AskBrowserRunning(HWND owner);

// The answer of the controller's WM_ASK_BROWSER_RUNNING: 0 try again, 1 give up.
inline LRESULT BrowserRunningAnswer(BrowserRunningChoice choice) {
  return choice == BrowserRunningChoice::kGiveUp ? 1 : 0;
}

// A primary token of the desktop user: duplicated from the process that owns
// the taskbar window "Shell_TrayWnd". Null when there is no such window or
// its process or token is not accessible. The caller closes it.
HANDLE GetShellUserToken();

// Starts a process with the shell user's token and profile
// (CreateProcessWithTokenW, looked up at run time). True when it was created.
bool StartProcessAsShellUser(const std::wstring& application, const std::wstring& command_line);

// The path in double quotes: the whole command line of both final starts.
std::wstring QuotedCommandLine(const std::wstring& path);

struct LaunchResult {
  bool browser_started = false;
  bool updater_started = false;
};

// The handler of the controller's WM_LAUNCH_BROWSER, before the controller
// destroys its window: the browser first, de-elevated (not started at all if
// that fails), then "updater.exe" with the installer's own token in a new
// console, both without arguments.
LaunchResult LaunchBrowserAndUpdater(const std::wstring& install_folder);

}  // namespace velko::installer
