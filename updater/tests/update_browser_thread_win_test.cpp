// The task-mode controller's message protocol, driven by posted messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>

#include "update_browser_thread.h"
#include "updater_messages.h"

namespace velko::updater {
namespace {

TEST(CUpdateBrowserThread, IsAMessageOnlyWindowThatEndsItsRunWithZero) {
  CUpdateBrowserThread controller(::GetModuleHandleW(nullptr), SW_SHOWDEFAULT);
  auto info = std::make_unique<UpdateInfo>();
  info->package_url = "http://127.0.0.1/p.rar";
  controller.SetUpdateInfo(std::move(info));
  ASSERT_TRUE(controller.CreateControllerWindow());
  const HWND hwnd = controller.hwnd();
  EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWL_STYLE) & 0x56000000, 0x56000000);
  wchar_t title[8] = L"x";
  ::GetWindowTextW(hwnd, title, 8);
  EXPECT_STREQ(title, L"");
  EXPECT_EQ(::FindWindowExW(HWND_MESSAGE, nullptr, L"VelkoUpdateBrowserThread", nullptr), hwnd);
  EXPECT_EQ(controller.RunMessageLoop(), 0);
  EXPECT_EQ(controller.hwnd(), nullptr);
  EXPECT_EQ(controller.update_info()->package_url, "http://127.0.0.1/p.rar");
}

// Each of these ends the run: the window is destroyed and the loop returns 0.
class EndingMessage : public ::testing::TestWithParam<UINT> {};

TEST_P(EndingMessage, EndsTheRun) {
  CUpdateBrowserThread controller(::GetModuleHandleW(nullptr), SW_SHOWDEFAULT);
  ASSERT_TRUE(controller.CreateControllerWindow());
  // Drop the engine-ready message of WM_CREATE so that only ours acts.
  MSG pending;
  while (::PeekMessageW(&pending, controller.hwnd(), 0, 0, PM_REMOVE)) {
  }
  const UINT message = GetParam();
  const WPARAM wparam =
      message == WM_ENGINE_READY ? reinterpret_cast<WPARAM>(_wcsdup(L"C:\\engine\\xldl.dll"))
      : message == WM_TIMER      ? POLL_TIMER
                                 : 0;
  ASSERT_TRUE(::PostMessageW(controller.hwnd(), message, wparam, 0));
  EXPECT_EQ(controller.RunMessageLoop(), 0);
  EXPECT_EQ(controller.hwnd(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Messages, EndingMessage,
                         ::testing::Values(WM_ENGINE_READY, WM_DOWNLOAD_FAILED,
                                           WM_DOWNLOAD_COMPLETE, WM_TIMER));

TEST(CUpdateBrowserThread, ForeignTimersAreIgnored) {
  CUpdateBrowserThread controller(::GetModuleHandleW(nullptr), SW_SHOWDEFAULT);
  ASSERT_TRUE(controller.CreateControllerWindow());
  MSG pending;
  while (::PeekMessageW(&pending, controller.hwnd(), 0, 0, PM_REMOVE)) {
  }
  ::SendMessageW(controller.hwnd(), WM_TIMER, 0x1001, 0);
  EXPECT_NE(controller.hwnd(), nullptr);
}

}  // namespace
}  // namespace velko::updater
