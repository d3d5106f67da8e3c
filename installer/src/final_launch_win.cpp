#include "velko/installer/process_control.h"
#include "velko/path_text.h"
#include "velko/process_start.h"

namespace velko::installer {
namespace {

// The updater runs with the installer's own (elevated) token and no
// arguments, which selects its register mode.
bool StartUpdater(const std::wstring& application) {
  return StartDetachedWithNewConsole(application, QuotedCommandLine(application));
}

}  // namespace

std::wstring QuotedCommandLine(const std::wstring& path) { return L"\"" + path + L"\""; }

LaunchResult LaunchBrowserAndUpdater(const std::wstring& install_folder) {
  LaunchResult result;
  // The browser must not run elevated; if the de-elevated start fails it is
  // not started at all.
  const std::wstring browser = JoinPath<wchar_t>(install_folder, L"chrome.exe");
  result.browser_started = StartProcessAsShellUser(browser, QuotedCommandLine(browser));
  const std::wstring updater = JoinPath<wchar_t>(install_folder, L"updater.exe");
  result.updater_started = StartUpdater(updater);
  return result;
}

}  // namespace velko::installer
