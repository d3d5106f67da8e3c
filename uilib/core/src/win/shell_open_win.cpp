#include <windows.h>
#include <shellapi.h>

#include "uilib/shell_open.h"
#include "uilib/text_util.h"

namespace uilib {

void OpenWithShellPlatform(const std::string& target) {
  HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  const std::wstring wide = Utf8ToWide(target);
  // A target the shell cannot open is ignored.
  ShellExecuteW(nullptr, L"OPEN", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  SetCursor(previous);
}

}  // namespace uilib
