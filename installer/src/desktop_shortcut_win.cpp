#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>

#include "velko/com_ref.h"
#include "velko/installer/shortcuts.h"
#include "velko/path_text.h"

namespace velko::installer {

std::optional<std::wstring> DesktopShortcutPath() {
  wchar_t desktop[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE) || desktop[0] == L'\0') {
    return std::nullopt;
  }
  return JoinPath<wchar_t>(desktop, std::wstring(kDesktopShortcutName) + L".lnk");
}

bool WriteShellLink(const std::wstring& link_path, const std::wstring& target,
                    const std::wstring& working_folder) {
  ComRef<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkW, link.ReceiveVoid()))) {
    return false;
  }
  // No arguments, description or icon: the shortcut shows the browser's icon.
  link->SetPath(target.c_str());
  link->SetWorkingDirectory(working_folder.c_str());
  ComRef<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()))) return false;
  return SUCCEEDED(file->Save(link_path.c_str(), FALSE));
}

bool CreateDesktopShortcut(const std::wstring& browser_path, const std::wstring& install_folder) {
  const std::optional<std::wstring> link_path = DesktopShortcutPath();
  return link_path && WriteShellLink(*link_path, browser_path, install_folder);
}

ShortcutsResult CreateShortcuts(const std::wstring& install_folder) {
  ShortcutsResult result;
  const std::wstring browser_path = JoinPath<wchar_t>(install_folder, L"chrome.exe");
  const DWORD attributes = GetFileAttributesW(browser_path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    result.pin = PinToTaskbar(browser_path);
  }
  result.desktop_shortcut = CreateDesktopShortcut(browser_path, install_folder);
  return result;
}

}  // namespace velko::installer
