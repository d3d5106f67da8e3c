// The native progress bar: a real "msctls_progress32" child of a real window,
// created at the first layout.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "../../../core/tests/layout_test_support.h"
#include "../../../core/tests/recording_window_services.h"
#include "uilib/widgets/progress.h"

namespace uilib {
namespace {

// Window services whose native window is a real top-level window.
class HostWindowServices : public testing::RecordingServices {
 public:
  HostWindowServices(CUILibWindow* window, HWND host) : RecordingServices(window), host_(host) {}
  NativeWindow Handle() override { return host_; }

 private:
  HWND host_;
};

class NativeProgressBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&init);
    host_ = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
  }
  void TearDown() override { DestroyWindow(host_); }

  HWND host_ = nullptr;
};

RECT ChildRect(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST_F(NativeProgressBarTest, CreatedAtFirstLayoutAndFollowsTheElement) {
  auto w = testing::LayOut(
      "<element style='width:20px;height:10px;'/><processbar id='p' style='width:100px;height:10px;'/>", 300, 100);
  ASSERT_TRUE(w.window);
  auto* bar = dynamic_cast<CUILibProcessBar*>(w.ById("p"));
  ASSERT_NE(bar, nullptr);
  // Laid out before the window existed: no control, and progress is ignored.
  bar->SetProgress(0.5);
  EXPECT_EQ(bar->Control(), nullptr);

  auto services = std::make_unique<HostWindowServices>(w.window.get(), host_);
  w.window->Layout(RectF{0, 0, 300, 100}, nullptr, nullptr);
  HWND control = bar->Control();
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(GetParent(control), host_);
  wchar_t class_name[64] = {};
  GetClassNameW(control, class_name, 64);
  EXPECT_STREQ(class_name, L"msctls_progress32");
  EXPECT_TRUE(GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE);
  PBRANGE range{};
  SendMessageW(control, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 10000);
  // The earlier SetProgress left no trace.
  EXPECT_EQ(SendMessageW(control, PBM_GETPOS, 0, 0), 0);
  RECT r = ChildRect(control);
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 10);

  bar->SetProgress(0.25);
  EXPECT_EQ(SendMessageW(control, PBM_GETPOS, 0, 0), 2500);
  bar->SetProgress(1.5);
  EXPECT_EQ(SendMessageW(control, PBM_GETPOS, 0, 0), 10000);
  bar->SetProgress(-1.0);
  EXPECT_EQ(SendMessageW(control, PBM_GETPOS, 0, 0), 0);

  // A later layout moves the same control.
  w.window->SetStyle("padding:0px 0px 0px 30px;");
  w.window->Layout(RectF{0, 0, 300, 100}, nullptr, nullptr);
  EXPECT_EQ(bar->Control(), control);
  EXPECT_EQ(ChildRect(control).left, 50);

  // The control goes with the element.
  services.reset();
  w.window.reset();
  EXPECT_FALSE(IsWindow(control));
}

}  // namespace
}  // namespace uilib
