// The web frame against the stand-in browser control (the real one renders
// nothing under our Wine): embedding, navigation, the element events and the
// release of everything; once against Wine's own control, that embedding and
// a local navigation neither fault nor block.
#include <gtest/gtest.h>

#include <windows.h>
#include <mshtmhst.h>

#include <fstream>
#include <string>
#include <vector>

#include "../../../core/tests/layout_test_support.h"
#include "../../../core/tests/win/runtime_test_support.h"
#include "standin_browser/standin_browser.h"
#include "uilib/text_util.h"
#include "uilib/uilib_impl.h"
#include "uilib/widgets/iframe.h"
#include "uilib/widgets/win/web_window.h"
#include "uilib/win/skinned_window.h"

namespace uilib {
namespace {

struct FrameLog {
  std::vector<std::wstring> calls;
  int answer = 0;
};
FrameLog g_frame_log;

// Records the event with the address the frame offers inside the handler.
int FrameHandler(const char* event, IUILibElement* element) {
  auto* frame = dynamic_cast<IUILibIFrame*>(element);
  std::wstring seen;
  if (std::string(event) == "onload") seen = frame->GetLoadedUrl();
  if (std::string(event) == "onnavigate") seen = frame->GetNewWindowUrl();
  g_frame_log.calls.push_back(std::wstring(event, event + std::string(event).size()) + L" " + seen);
  return g_frame_log.answer;
}

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM out) {
  if (IsWindowVisible(hwnd)) reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
  return TRUE;
}

constexpr const char* kFrame =
    "<iframe id='f' src='http://127.0.0.1/start' onload='uilib::Frame' onnavigate='uilib::Frame' "
    "onerror='uilib::Frame' style='width:200px;height:100px;'/>";

class IFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_frame_log = FrameLog{};
    lib_.RegisterHandler("Frame", reinterpret_cast<void*>(&FrameHandler));
  }
  win::SkinnedWindow* Create(const std::string& children) {
    const std::string skin =
        "<uilib><window id='w' windowstyle='WS_POPUP|WS_VISIBLE' width='300' height='200'>"
        "<element style='width:100%;height:20px;'/>" +
        children + "</window></uilib>";
    EXPECT_EQ(lib_.LoadSkinFromMemory(skin), SkinLoadResult::kOk);
    auto* window = dynamic_cast<win::SkinnedWindow*>(lib_.CreateWindowById("w", nullptr, nullptr, nullptr));
    test::PumpUntil([] { return false; }, 30);
    return window;
  }
  CUILibIFrame* Frame(win::SkinnedWindow* window) {
    std::vector<IUILibElement*> found;
    window->FindElementsById(found, "f");
    return found.empty() ? nullptr : dynamic_cast<CUILibIFrame*>(found.front());
  }
  void Destroy(win::SkinnedWindow* window) {
    IUILibWindow* handle = window;
    lib_.DestroyWindow(handle);
  }

  CUILibImpl lib_;
  standin::StandInBrowser browser_;
  standin::StandInFactory factory_{&browser_};
};

TEST_F(IFrameTest, NavigateBeforeAnyWindowOnlyStoresTheSource) {
  auto w = testing::LayOut(kFrame, 300, 200);
  ASSERT_TRUE(w.window);
  auto* frame = dynamic_cast<CUILibIFrame*>(w.ById("f"));
  ASSERT_NE(frame, nullptr);
  EXPECT_STREQ(frame->GetSource(), L"http://127.0.0.1/start");
  frame->Navigate(L"http://127.0.0.1/other");
  EXPECT_STREQ(frame->GetSource(), L"http://127.0.0.1/other");
  EXPECT_EQ(frame->HostWindow(), nullptr);
}

TEST_F(IFrameTest, FirstLayoutEmbedsTheControlAndOpensTheSource) {
  standin::ScopedRegistration registration(&factory_);
  ASSERT_TRUE(registration.Ok());
  win::SkinnedWindow* window = Create(kFrame);
  ASSERT_NE(window, nullptr);
  CUILibIFrame* frame = Frame(window);
  ASSERT_NE(frame, nullptr);
  WebWindow::CWebWindow* host = frame->HostWindow();
  ASSERT_NE(host, nullptr);
  HWND host_window = host->hwnd();
  ASSERT_NE(host_window, nullptr);
  EXPECT_EQ(GetParent(host_window), window->hwnd());
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(host_window, GWL_STYLE)) & (WS_CHILD | WS_VISIBLE),
            static_cast<DWORD>(WS_CHILD | WS_VISIBLE));

  EXPECT_EQ(browser_.navigations, std::vector<std::wstring>{L"http://127.0.0.1/start"});
  EXPECT_EQ(browser_.host_name, L"My Host Name");
  EXPECT_TRUE(browser_.shown);
  EXPECT_EQ(browser_.parent, host_window);
  EXPECT_EQ(browser_.left, 0);
  EXPECT_EQ(browser_.top, 20);
  EXPECT_EQ(browser_.width, 200);
  EXPECT_EQ(browser_.height, 100);
  EXPECT_EQ(browser_.silent, VARIANT_TRUE);
  EXPECT_NE(browser_.sink(), nullptr);
  ASSERT_NE(host->SiteBlock(), nullptr);
  EXPECT_EQ(host->SiteBlock()->window, host_window);
  EXPECT_EQ(host->SiteBlock()->object, static_cast<IOleObject*>(&browser_));

  // Later navigations reach the control.
  frame->Navigate(L"http://127.0.0.1/next");
  EXPECT_EQ(browser_.navigations.back(), L"http://127.0.0.1/next");
  EXPECT_STREQ(frame->GetSource(), L"http://127.0.0.1/next");

  // A relayout moves the host window.
  window->SetStyle("padding:0px 0px 0px 50px;");
  test::PumpUntil([] { return false; }, 30);
  RECT r{};
  GetWindowRect(host_window, &r);
  MapWindowPoints(HWND_DESKTOP, window->hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.right - r.left, 200);
  Destroy(window);
}

TEST_F(IFrameTest, SitesAnswerTheControlAsTheContainerShould) {
  standin::ScopedRegistration registration(&factory_);
  win::SkinnedWindow* window = Create(kFrame);
  ASSERT_NE(window, nullptr);
  IOleClientSite* site = browser_.site();
  ASSERT_NE(site, nullptr);
  HWND host_window = Frame(window)->HostWindow()->hwnd();

  IOleInPlaceSite* in_place = nullptr;
  ASSERT_EQ(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&in_place)), S_OK);
  IDocHostUIHandler* ui = nullptr;
  ASSERT_EQ(in_place->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&ui)), S_OK);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(site->QueryInterface(IID_IOleInPlaceObject, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  IOleContainer* container = reinterpret_cast<IOleContainer*>(1);
  EXPECT_EQ(site->GetContainer(&container), E_NOINTERFACE);
  EXPECT_EQ(container, nullptr);

  HWND answered = nullptr;
  EXPECT_EQ(in_place->GetWindow(&answered), S_OK);
  EXPECT_EQ(answered, host_window);
  IOleInPlaceFrame* in_place_frame = nullptr;
  IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(1);
  RECT position{1, 1, 1, 1}, clip{1, 1, 1, 1};
  OLEINPLACEFRAMEINFO info{};
  info.cb = sizeof info;
  EXPECT_EQ(in_place->GetWindowContext(&in_place_frame, &document, &position, &clip, &info), S_OK);
  EXPECT_NE(in_place_frame, nullptr);
  EXPECT_EQ(document, nullptr);
  EXPECT_EQ(info.hwndFrame, host_window);
  EXPECT_FALSE(info.fMDIApp);
  EXPECT_EQ(position.right, 200);
  EXPECT_EQ(position.bottom, 100);
  EXPECT_TRUE(EqualRect(&position, &clip));
  EXPECT_EQ(in_place->Scroll(SIZE{1, 1}), E_UNEXPECTED);
  const RECT moved{5, 6, 70, 80};
  EXPECT_EQ(in_place->OnPosRectChange(&moved), S_OK);
  EXPECT_TRUE(EqualRect(&browser_.object_rect, &moved));

  DOCHOSTUIINFO host_info{};
  host_info.cbSize = sizeof host_info;
  EXPECT_EQ(ui->GetHostInfo(&host_info), S_OK);
  EXPECT_EQ(host_info.dwFlags, 0x8000Cu);
  EXPECT_EQ(ui->ShowContextMenu(0, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(ui->TranslateAccelerator(nullptr, nullptr, 0), S_FALSE);
  IDispatch* external = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(ui->GetExternal(&external), S_FALSE);
  EXPECT_EQ(external, nullptr);
  Destroy(window);
}

TEST_F(IFrameTest, EventsBecomeElementEventsWithTheirAddresses) {
  standin::ScopedRegistration registration(&factory_);
  win::SkinnedWindow* window = Create(kFrame);
  ASSERT_NE(window, nullptr);
  CUILibIFrame* frame = Frame(window);

  // onload sees the completed address; afterwards it is gone.
  EXPECT_EQ(browser_.CompleteNavigation(L"http://127.0.0.1/start"), VARIANT_FALSE);
  EXPECT_EQ(g_frame_log.calls, std::vector<std::wstring>{L"onload http://127.0.0.1/start"});
  EXPECT_STREQ(frame->GetLoadedUrl(), L"");

  // A new-window request is cancelled when the handler takes it...
  g_frame_log = FrameLog{{}, 1};
  EXPECT_EQ(browser_.RequestNewWindow(L"http://127.0.0.1/popup"), VARIANT_TRUE);
  EXPECT_EQ(g_frame_log.calls, std::vector<std::wstring>{L"onnavigate http://127.0.0.1/popup"});
  EXPECT_STREQ(frame->GetNewWindowUrl(), L"");
  // ...and allowed when it does not.
  g_frame_log = FrameLog{{}, 0};
  EXPECT_EQ(browser_.RequestNewWindow(L"http://127.0.0.1/link"), VARIANT_FALSE);
  EXPECT_EQ(g_frame_log.calls.size(), 1u);

  // A navigation error fires onerror and the control shows no error page.
  g_frame_log = FrameLog{};
  EXPECT_EQ(browser_.FailNavigation(L"http://127.0.0.1/missing"), VARIANT_TRUE);
  EXPECT_EQ(g_frame_log.calls, std::vector<std::wstring>{L"onerror "});
  Destroy(window);
}

TEST_F(IFrameTest, CloseHidesAndDestructionReleasesEverything) {
  standin::ScopedRegistration registration(&factory_);
  win::SkinnedWindow* window = Create(kFrame);
  ASSERT_NE(window, nullptr);
  HWND host_window = Frame(window)->HostWindow()->hwnd();
  const ULONG held = browser_.references();
  EXPECT_GT(held, 0u);

  SendMessageW(host_window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(host_window));
  EXPECT_FALSE(IsWindowVisible(host_window));
  EXPECT_EQ(browser_.references(), held);
  EXPECT_FALSE(browser_.closed);

  Destroy(window);
  EXPECT_FALSE(IsWindow(host_window));
  EXPECT_TRUE(browser_.closed);
  EXPECT_EQ(browser_.sink(), nullptr);
  EXPECT_EQ(browser_.site(), nullptr);
  EXPECT_EQ(browser_.references(), 0u);
}

// Wine's own control (no HTML engine here): embedding and a local navigation
// return, and no dialog opens.
TEST_F(IFrameTest, WinesOwnControlEmbedsAndNavigatesWithoutFaultOrDialog) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring page = std::wstring(temp) + L"velko_frame_page.html";
  std::ofstream(page.c_str()) << "<html><body>page</body></html>";
  win::SkinnedWindow* window = Create(
      "<iframe id='f' src='file:///" + WideToUtf8(page) + "' style='width:200px;height:100px;'/>");
  ASSERT_NE(window, nullptr);
  ASSERT_NE(Frame(window)->HostWindow(), nullptr);
  test::PumpUntil([] { return false; }, 1500);
  // Every visible top-level window of this thread is the skinned window.
  std::vector<HWND> shown;
  EnumThreadWindows(GetCurrentThreadId(), CollectVisible, reinterpret_cast<LPARAM>(&shown));
  EXPECT_EQ(shown, std::vector<HWND>{window->hwnd()});
  Destroy(window);
  DeleteFileW(page.c_str());
}

}  // namespace
}  // namespace uilib
