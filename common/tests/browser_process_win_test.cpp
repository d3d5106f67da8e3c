#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "velko/file_utils.h"
#include "win_test_support.h"

namespace velko {
namespace {

constexpr DWORD kStartTimeoutMs = 15000;

// Our fake_browser.exe, copied as <folder>\chrome.exe and started. It sets the
// named event once it runs (its modules are loaded), and is terminated when
// the object goes away.
class RunningFakeBrowser {
 public:
  explicit RunningFakeBrowser(const std::wstring& folder) {
    const std::wstring source = test_support::ExecutableFolder() + L"\\fake_browser.exe";
    const std::wstring exe = folder + L"\\chrome.exe";
    if (!CopyFileW(source.c_str(), exe.c_str(), FALSE)) return;

    const std::string event_name = "velko_fake_browser_" + std::to_string(GetCurrentProcessId()) +
                                   "_" + std::to_string(GetTickCount64());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, event_name.c_str());
    if (ready == nullptr) return;
    std::wstring command_line = L"\"" + exe + L"\" " + std::wstring(event_name.begin(), event_name.end());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                       nullptr, nullptr, &startup, &process_)) {
      started_ = WaitForSingleObject(ready, kStartTimeoutMs) == WAIT_OBJECT_0;
    }
    CloseHandle(ready);
  }

  ~RunningFakeBrowser() { Stop(); }

  bool started() const { return started_; }

  void Stop() {
    if (process_.hProcess == nullptr) return;
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, kStartTimeoutMs);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = {};
  }

 private:
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
};

std::wstring ToUpper(std::wstring text) {
  CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

std::wstring ToLower(std::wstring text) {
  CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

TEST(IsBrowserRunning, FindsChromeOfThatFolderInAnyLetterCase) {
  test_support::TempFolder install;
  test_support::TempFolder other;
  RunningFakeBrowser browser(install.path());
  ASSERT_TRUE(browser.started());

  EXPECT_TRUE(IsBrowserRunning(install.path()));
  EXPECT_TRUE(IsBrowserRunning(ToUpper(install.path())));
  EXPECT_TRUE(IsBrowserRunning(ToLower(install.path())));
  EXPECT_TRUE(IsBrowserRunning(install.path() + L"\\"));
  EXPECT_FALSE(IsBrowserRunning(other.path()));
  EXPECT_FALSE(IsBrowserRunning(install.path() + L"\\sub"));
  EXPECT_FALSE(IsBrowserRunning(L""));

  browser.Stop();
  EXPECT_FALSE(IsBrowserRunning(install.path()));
}

TEST(IsBrowserRunning, NoBrowserInAFreshFolder) {
  test_support::TempFolder install;
  EXPECT_FALSE(IsBrowserRunning(install.path()));
}

}  // namespace
}  // namespace velko
