#include <gtest/gtest.h>

#include <thread>

#include "test_support.h"
#include "velko/installer/process_control.h"

namespace velko::installer {
namespace {

using test::ScratchFolder;

// Finds the box by its caption, reads its text and presses one of its buttons,
// as the user would.
struct BoxAnswer {
  std::wstring text;
  bool found = false;
};

BoxAnswer AnswerBox(int button_id) {
  BoxAnswer answer;
  const ULONGLONG deadline = GetTickCount64() + 10000;
  HWND box = nullptr;
  while (box == nullptr && GetTickCount64() < deadline) {
    box = FindWindowW(L"#32770", kBrowserRunningCaption);
    if (box == nullptr) Sleep(20);
  }
  if (box == nullptr) return answer;
  answer.found = true;
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);  // the box's static text
  answer.text = text;
  // Both buttons of a retry/cancel box, and nothing else.
  EXPECT_NE(GetDlgItem(box, IDRETRY), nullptr);
  EXPECT_NE(GetDlgItem(box, IDCANCEL), nullptr);
  EXPECT_EQ(GetDlgItem(box, IDOK), nullptr);
  SendMessageW(GetDlgItem(box, button_id), BM_CLICK, 0, 0);
  return answer;
}

TEST(BrowserRunningPromptTest, RetryAndCancelAreTheTwoAnswers) {
  for (const auto& [button, choice] : {std::pair{IDRETRY, BrowserRunningChoice::kRetry},
                                       std::pair{IDCANCEL, BrowserRunningChoice::kGiveUp}}) {
    BoxAnswer answer;
    std::thread user([&answer, button = button] { answer = AnswerBox(button); });
    const BrowserRunningChoice result = AskBrowserRunning(nullptr);
    user.join();
    ASSERT_TRUE(answer.found);
    EXPECT_EQ(result, choice);
    EXPECT_EQ(answer.text, L"岚石浏览器正在运行，请关闭后点击【重试】按钮！\r\n或者【取消】退出安装");
    EXPECT_EQ(BrowserRunningAnswer(result), choice == BrowserRunningChoice::kRetry ? 0 : 1);
  }
}

// A stand-in for the shell's taskbar, owned by this process: the browser is
// then started with this process's (duplicated) token.
class TaskbarStandIn {
 public:
  TaskbarStandIn() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.lpszClassName = L"Shell_TrayWnd";
    RegisterClassW(&window_class);
    window_ = CreateWindowExW(0, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  }
  ~TaskbarStandIn() {
    DestroyWindow(window_);
    UnregisterClassW(L"Shell_TrayWnd", nullptr);
  }
  bool exists() const { return window_ != nullptr; }

 private:
  HWND window_ = nullptr;
};

std::string StartRecord(const std::wstring& exe) { return test::ReadWholeFile(exe + L".starts.txt"); }

TEST(ProcessControlTest, WithoutATaskbarTheBrowserIsNotStartedButTheUpdaterIs) {
  if (FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr) GTEST_SKIP() << "a shell runs on this desktop";
  ScratchFolder install(L"launch-no-shell");
  test::InstallSampleBrowser(install / L"chrome.exe");
  test::InstallSampleBrowser(install / L"updater.exe");  // records its start the same way
  EXPECT_EQ(GetShellUserToken(), nullptr);
  const LaunchResult result = LaunchBrowserAndUpdater(install.path());
  EXPECT_FALSE(result.browser_started);
  EXPECT_TRUE(result.updater_started);
  EXPECT_TRUE(test::WaitForFile(install / L"updater.exe.starts.txt", 10000));
  EXPECT_FALSE(test::FileExists(install / L"chrome.exe.starts.txt"));
  test::StopSampleBrowsers(install.path());
}

TEST(ProcessControlTest, BrowserStartsWithTheShellUsersTokenAndNoArguments) {
  TaskbarStandIn taskbar;
  ASSERT_TRUE(taskbar.exists());
  HANDLE token = GetShellUserToken();
  ASSERT_NE(token, nullptr);
  TOKEN_TYPE type{};
  DWORD size = 0;
  ASSERT_TRUE(GetTokenInformation(token, TokenType, &type, sizeof type, &size));
  EXPECT_EQ(type, TokenPrimary);
  CloseHandle(token);

  ScratchFolder install(L"launch");
  test::InstallSampleBrowser(install / L"chrome.exe");
  test::InstallSampleBrowser(install / L"updater.exe");
  const LaunchResult result = LaunchBrowserAndUpdater(install.path());
  EXPECT_TRUE(result.browser_started);
  EXPECT_TRUE(result.updater_started);
  for (const wchar_t* name : {L"chrome.exe", L"updater.exe"}) {
    const std::wstring exe = install / name;
    ASSERT_TRUE(test::WaitForFile(exe + L".starts.txt", 10000)) << test::Narrow(name);
    const std::string record = StartRecord(exe);
    EXPECT_NE(record.find("command_line=\"" + test::Narrow(exe) + "\"\r\n"), std::string::npos) << record;
    EXPECT_NE(record.find("arguments=0\r\n"), std::string::npos) << record;
  }
  test::StopSampleBrowsers(install.path());
}

TEST(ProcessControlTest, MissingProgramsAreNotStartedAndNothingFails) {
  TaskbarStandIn taskbar;
  ScratchFolder install(L"launch-missing");
  const LaunchResult result = LaunchBrowserAndUpdater(install.path());
  EXPECT_FALSE(result.browser_started);
  EXPECT_FALSE(result.updater_started);
  EXPECT_FALSE(StartProcessAsShellUser(install / L"chrome.exe", L"\"x\""));
}

}  // namespace
}  // namespace velko::installer
