#include "velko/installer/process_control.h"

namespace velko::installer {

BrowserRunningChoice AskBrowserRunning(HWND owner) {
  const int answer = MessageBoxW(owner, kBrowserRunningText, kBrowserRunningCaption, MB_RETRYCANCEL);
  return answer == IDRETRY ? BrowserRunningChoice::kRetry : BrowserRunningChoice::kGiveUp;
}

}  // namespace velko::installer
