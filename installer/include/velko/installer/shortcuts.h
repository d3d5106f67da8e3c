// The shell objects the installer creates: the taskbar pin (through the
// shell's own pin verb) and the desktop shortcut "岚石浏览器.lnk".
#pragma once

#include <optional>
#include <string>

namespace velko::installer {

inline constexpr wchar_t kDesktopShortcutName[] = L"岚石浏览器";

enum class PinResult {
  kPinned,            // the pin verb was invoked at least once
  kNoVerbName,        // the system names no pin verb (shell32 string 5386)
  kShellUnavailable,  // no shell automation object, folder or items
  kBrowserNotListed,  // the folder lists no "chrome"/"chrome.exe"
  kNoPinVerb,         // the browser's verbs hold no pin verb
};

// Invokes the shell's pin-to-taskbar verb on the browser executable. Every
// failure ends the step quietly; the result only says how far it went.
// Runs in a COM apartment that the caller initialised.
PinResult PinToTaskbar(const std::wstring& browser_path);

// "<desktop>\岚石浏览器.lnk" of the account the process runs as (the desktop
// folder is created if missing), or nullopt.
std::optional<std::wstring> DesktopShortcutPath();

// Writes (or overwrites) a shell link at `link_path` pointing to `target`
// with `working_folder` as its working folder and nothing else set.
bool WriteShellLink(const std::wstring& link_path, const std::wstring& target,
                    const std::wstring& working_folder);

// The desktop shortcut to the browser. False when it could not be written.
bool CreateDesktopShortcut(const std::wstring& browser_path, const std::wstring& install_folder);

struct ShortcutsResult {
  std::optional<PinResult> pin;  // nullopt: browser file missing, no pin tried
  bool desktop_shortcut = false;
};

// The handler of the controller's WM_MAKE_SHORTCUTS: the pin if the browser
// file exists, then always the desktop shortcut.
ShortcutsResult CreateShortcuts(const std::wstring& install_folder);

}  // namespace velko::installer

namespace velko::installer {

// PinToTaskbar with a given verb caption instead of the system's pin verb;
// the enumeration of the browser's folder and verbs is the same.
PinResult InvokeBrowserVerb(const std::wstring& browser_path, const std::wstring& verb_caption);

}  // namespace velko::installer
