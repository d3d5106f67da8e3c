// Skinned native windows under Wine: creation from the window attributes,
// the layered surface, close and sizing rules, right clicks, destruction and
// native scroll bars.
#include <gtest/gtest.h>

#include <string>
#include <tinyxml.h>
#include <vector>

#include "runtime_test_support.h"
#include "uilib/library_state.h"
#include "uilib/uilib_impl.h"
#include "uilib/win/skinned_window.h"
#include "uilib/window_attributes.h"

namespace uilib {
namespace {

using win::SkinnedWindow;

// Handlers record their calls; the return value is set per test.
struct HandlerLog {
  std::vector<std::string> calls;
  int answer = 0;
};
HandlerLog g_log;

int RecordingHandler(const char* event, IUILibElement* element) {
  g_log.calls.push_back(std::string(event) + " " + element->GetId());
  return g_log.answer;
}

int FailingCreate(const char*, IUILibElement*) { return -1; }

class SkinnedWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log = HandlerLog{};
    win::SetWorkAreaForTesting(WorkArea{0, 0, 1920, 1040});
    lib_.RegisterHandler("Log", reinterpret_cast<void*>(&RecordingHandler));
  }
  void TearDown() override { win::SetWorkAreaForTesting(std::nullopt); }

  SkinnedWindow* Create(const std::string& skin, const char* id = "w") {
    EXPECT_EQ(lib_.LoadSkinFromMemory(skin), SkinLoadResult::kOk);
    return dynamic_cast<SkinnedWindow*>(lib_.CreateWindowById(id, nullptr, nullptr, nullptr));
  }
  // A visible 300x200 popup window "w" with further attributes and children.
  SkinnedWindow* CreatePopup(const std::string& attributes, const std::string& children = "") {
    const std::string window = "<window id='w' windowstyle='WS_POPUP|WS_VISIBLE' width='300' height='200' " +
                               attributes + (children.empty() ? "/>" : ">" + children + "</window>");
    return Create("<uilib>" + window + "</uilib>");
  }
  static void Pump() { test::PumpUntil([] { return false; }, 30); }

  CUILibImpl lib_;
};

TEST_F(SkinnedWindowTest, StyleNameTablesCarryTheSdkValues) {
  struct Name {
    const char* name;
    DWORD value;
  };
  const Name styles[] = {
      {"WS_POPUP", WS_POPUP},           {"WS_CHILD", WS_CHILD},
      {"WS_MINIMIZE", WS_MINIMIZE},     {"WS_VISIBLE", WS_VISIBLE},
      {"WS_DISABLED", WS_DISABLED},     {"WS_CLIPSIBLINGS", WS_CLIPSIBLINGS},
      {"WS_CLIPCHILDREN", WS_CLIPCHILDREN}, {"WS_MAXIMIZE", WS_MAXIMIZE},
      {"WS_CAPTION", WS_CAPTION},       {"WS_BORDER", WS_BORDER},
      {"WS_VSCROLL", WS_VSCROLL},       {"WS_HSCROLL", WS_HSCROLL},
      {"WS_SYSMENU", WS_SYSMENU},       {"WS_THICKFRAME", WS_THICKFRAME},
      {"WS_GROUP", WS_GROUP},           {"WS_TABSTOP", WS_TABSTOP},
      {"WS_MINIMIZEBOX", WS_MINIMIZEBOX}, {"WS_MAXIMIZEBOX", WS_MAXIMIZEBOX},
      {"WS_TILED", WS_TILED},           {"WS_ICONIC", WS_ICONIC},
      {"WS_SIZEBOX", WS_SIZEBOX},       {"WS_TILEDWINDOW", WS_TILEDWINDOW},
      {"WS_OVERLAPPEDWINDOW", WS_OVERLAPPEDWINDOW},
  };
  const Name ex_styles[] = {
      {"WS_EX_DLGMODALFRAME", WS_EX_DLGMODALFRAME}, {"WS_EX_NOPARENTNOTIFY", WS_EX_NOPARENTNOTIFY},
      {"WS_EX_TOPMOST", WS_EX_TOPMOST},             {"WS_EX_ACCEPTFILES", WS_EX_ACCEPTFILES},
      {"WS_EX_TRANSPARENT", WS_EX_TRANSPARENT},     {"WS_EX_MDICHILD", WS_EX_MDICHILD},
      {"WS_EX_TOOLWINDOW", WS_EX_TOOLWINDOW},       {"WS_EX_WINDOWEDGE", WS_EX_WINDOWEDGE},
      {"WS_EX_CLIENTEDGE", WS_EX_CLIENTEDGE},       {"WS_EX_CONTEXTHELP", WS_EX_CONTEXTHELP},
      {"WS_EX_RIGHT", WS_EX_RIGHT},                 {"WS_EX_LEFT", WS_EX_LEFT},
      {"WS_EX_RTLREADING", WS_EX_RTLREADING},       {"WS_EX_LEFTSCROLLBAR", WS_EX_LEFTSCROLLBAR},
      {"WS_EX_RIGHTSCROLLBAR", WS_EX_RIGHTSCROLLBAR}, {"WS_EX_CONTROLPARENT", WS_EX_CONTROLPARENT},
      {"WS_EX_STATICEDGE", WS_EX_STATICEDGE},       {"WS_EX_APPWINDOW", WS_EX_APPWINDOW},
      {"WS_EX_LAYERED", WS_EX_LAYERED},             {"WS_EX_NOINHERITLAYOUT", WS_EX_NOINHERITLAYOUT},
      {"WS_EX_LAYOUTRTL", WS_EX_LAYOUTRTL},         {"WS_EX_COMPOSITED", WS_EX_COMPOSITED},
      {"WS_EX_NOACTIVATE", WS_EX_NOACTIVATE},
  };
  for (const Name& n : styles) EXPECT_EQ(WindowStyleFromNames(n.name), n.value) << n.name;
  for (const Name& n : ex_styles) EXPECT_EQ(ExWindowStyleFromNames(n.name), n.value) << n.name;
  EXPECT_EQ(kDefaultWindowStyle, static_cast<std::uint32_t>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
}

TEST_F(SkinnedWindowTest, WelcomeWindowIsALayeredPopupCentredOnTheWorkArea) {
  ASSERT_EQ(lib_.LoadSkinFile(VELKO_INSTALLER_SKIN_XML), SkinLoadResult::kOk);
  auto* window = dynamic_cast<SkinnedWindow*>(lib_.CreateWindowById("welcome", nullptr, nullptr, nullptr));
  ASSERT_NE(window, nullptr);
  HWND hwnd = window->hwnd();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(window->NativeHandle(), hwnd);
  RECT r{};
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 656);
  EXPECT_EQ(r.top, 359);
  EXPECT_EQ(r.right - r.left, 608);
  EXPECT_EQ(r.bottom - r.top, 322);
  wchar_t class_name[32] = {};
  GetClassNameW(hwnd, class_name, 32);
  EXPECT_STREQ(class_name, L"UILibHWND");
  wchar_t title[32] = {};
  GetWindowTextW(hwnd, title, 32);
  EXPECT_STREQ(title, L"安装岚石浏览器");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)) & (WS_POPUP | WS_VISIBLE), WS_POPUP | WS_VISIBLE);
  // The tooltip is made right after the first picture.
  EXPECT_TRUE(test::PumpUntil([&] { return window->TooltipControl() != nullptr; }, 2000));

  HDC screen = GetDC(nullptr);
  const int depth = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  const bool layered = (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
  EXPECT_EQ(layered, depth == 32) << "display depth " << depth;
  EXPECT_EQ(window->IsLayered(), layered);
  if (layered) {
    ASSERT_NE(window->Surface(), nullptr);
    EXPECT_EQ(window->Surface()->Width(), 608);
    EXPECT_EQ(window->Surface()->Height(), 322);
  }
}

TEST_F(SkinnedWindowTest, LayeredSurfaceHoldsTheBackgroundImagePixels) {
  ASSERT_EQ(lib_.LoadSkinFile(VELKO_INSTALLER_SKIN_XML), SkinLoadResult::kOk);
  auto* window = dynamic_cast<SkinnedWindow*>(lib_.CreateWindowById("Welcome", nullptr, nullptr, nullptr));
  ASSERT_NE(window, nullptr);
  if (window->Surface() == nullptr) GTEST_SKIP() << "the display is not 32-bit: no layered surface";
  Gdiplus::Bitmap background(VELKO_INSTALLER_IMAGES L"/back1.png");
  ASSERT_EQ(background.GetLastStatus(), Gdiplus::Ok);
  // Points on the plain background, away from the widgets painted over it.
  const POINT points[] = {{300, 10}, {5, 100}, {590, 200}, {400, 315}, {450, 60}};
  for (const POINT& p : points) {
    Gdiplus::Color expected;
    background.GetPixel(p.x, p.y, &expected);
    ASSERT_EQ(expected.GetA(), 255) << "test point on an opaque pixel";
    EXPECT_EQ(window->Surface()->PixelAt(p.x, p.y), expected.GetValue()) << p.x << "," << p.y;
  }
  // The image is tiled from the window's corner: column 606 repeats column 0.
  Gdiplus::Color first_column;
  background.GetPixel(0, 150, &first_column);
  ASSERT_EQ(first_column.GetA(), 255);
  EXPECT_EQ(window->Surface()->PixelAt(606, 150), first_column.GetValue());
}

// A background image smaller than its window repeats from the window's
// corner, in full paints and in repaints of parts that cross the seams.
TEST_F(SkinnedWindowTest, TiledBackgroundRepeatsExactlyInWholeAndPartialPaints) {
  SkinnedWindow* window = CreatePopup("exwindowstyle='WS_EX_LAYERED' style='background:res(self,PNG_BACK1,PNG)'");
  ASSERT_NE(window, nullptr);
  if (window->Surface() == nullptr) GTEST_SKIP() << "the display is not 32-bit: no layered surface";
  ASSERT_TRUE(SetWindowPos(window->hwnd(), nullptr, 0, 0, 700, 400, SWP_NOMOVE | SWP_NOZORDER));
  SendMessageW(window->hwnd(), win::kMsgRepaint, 0, 0);
  ASSERT_EQ(window->Surface()->Width(), 700);
  Gdiplus::Bitmap background(VELKO_INSTALLER_IMAGES L"/back1.png");
  ASSERT_EQ(background.GetLastStatus(), Gdiplus::Ok);
  const int tile_w = static_cast<int>(background.GetWidth()), tile_h = static_cast<int>(background.GetHeight());
  const auto mismatches = [&](const RECT& area) {
    int wrong = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        Gdiplus::Color expected;
        background.GetPixel(x % tile_w, y % tile_h, &expected);
        // Partly transparent pixels come back through premultiplication.
        if (expected.GetA() == 255 && window->Surface()->PixelAt(x, y) != expected.GetValue()) ++wrong;
      }
    }
    return wrong;
  };
  EXPECT_EQ(mismatches(RECT{0, 0, 700, 400}), 0);
  // A part across both seams, not starting at a tile's corner.
  RECT part{tile_w - 7, tile_h - 5, tile_w + 9, tile_h + 4};
  SendMessageW(window->hwnd(), win::kMsgRepaint, reinterpret_cast<WPARAM>(&part), 0);
  EXPECT_EQ(mismatches(RECT{part.left - 3, part.top - 3, part.right + 3, part.bottom + 3}), 0);
}

TEST_F(SkinnedWindowTest, HeldRedrawPushesALayeredWindowOnceForSeveralRepaints) {
  SkinnedWindow* window = CreatePopup("exwindowstyle='WS_EX_LAYERED' style='background:rgb(0,0,255)'");
  ASSERT_NE(window, nullptr);
  if (window->Surface() == nullptr) GTEST_SKIP() << "the display is not 32-bit: no layered surface";
  HWND hwnd = window->hwnd();
  const auto pushes = [window] { return window->Surface()->Pushes(); };
  RECT top{10, 10, 20, 20};
  RECT bottom{100, 150, 200, 160};
  const std::uint64_t start = pushes();
  SendMessageW(hwnd, win::kMsgRepaint, reinterpret_cast<WPARAM>(&top), 0);
  EXPECT_EQ(pushes(), start + 1) << "a repaint request pushes at once";

  SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
  SendMessageW(hwnd, win::kMsgRepaint, reinterpret_cast<WPARAM>(&top), 0);
  SendMessageW(hwnd, win::kMsgRepaint, reinterpret_cast<WPARAM>(&bottom), 0);
  EXPECT_EQ(pushes(), start + 1) << "held: the requests wait";
  // The system's own handling would clear WS_VISIBLE while drawing is held.
  EXPECT_TRUE(IsWindowVisible(hwnd));
  SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
  EXPECT_EQ(pushes(), start + 2) << "released: both painted, one push";
  EXPECT_EQ(window->Surface()->PixelAt(150, 155), 0xFF0000FFu);
  SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
  EXPECT_EQ(pushes(), start + 2) << "nothing waiting, nothing pushed";
}

// A repaint of a part pushes only that part: the screen gets the new pixels
// there and keeps the rest as last pushed, even where the surface differs.
TEST_F(SkinnedWindowTest, PartialRepaintOfALayeredWindowReplacesOnlyThatPartOnTheScreen) {
  SkinnedWindow* window = CreatePopup("exwindowstyle='WS_EX_LAYERED' style='background:rgb(0,0,255)'");
  ASSERT_NE(window, nullptr);
  if (window->Surface() == nullptr) GTEST_SKIP() << "the display is not 32-bit: no layered surface";
  SetWindowPos(window->hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  RECT placed{};
  GetWindowRect(window->hwnd(), &placed);
  HDC screen = GetDC(nullptr);
  const auto on_screen = [&](int x, int y) { return GetPixel(screen, placed.left + x, placed.top + y); };
  EXPECT_TRUE(test::PumpUntil([&] { return on_screen(150, 150) == RGB(0, 0, 255); }, 2000));
  // Stale pixels all over the surface; the repaint puts blue back in its part.
  RECT all{0, 0, 300, 200};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(window->Surface()->Dc(), &all, red);
  DeleteObject(red);
  RECT part{10, 10, 50, 50};
  SendMessageW(window->hwnd(), win::kMsgRepaint, reinterpret_cast<WPARAM>(&part), 0);
  Pump();
  EXPECT_EQ(on_screen(30, 30), RGB(0, 0, 255));
  EXPECT_EQ(on_screen(150, 150), RGB(0, 0, 255)) << "the part outside was pushed again";
  // A whole repaint pushes everything.
  SendMessageW(window->hwnd(), win::kMsgRepaint, 0, 0);
  Pump();
  EXPECT_EQ(on_screen(150, 150), RGB(0, 0, 255));
  ReleaseDC(nullptr, screen);
  window->Hide();
}

TEST_F(SkinnedWindowTest, OrdinaryWindowsPaintOnEveryPaintPath) {
  // The render thread, a direct buffered paint and a direct unbuffered paint
  // all put the background on the screen.
  for (const char* paths : {"", "use-render-thread='false'", "use-render-thread='false' buffered-paint='false'"}) {
    SCOPED_TRACE(paths);
    SkinnedWindow* window = CreatePopup(std::string(paths) + " style='background:argb(255,200,20,10)'");
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->IsLayered());
    SetWindowPos(window->hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    InvalidateRect(window->hwnd(), nullptr, TRUE);
    HDC dc = GetDC(window->hwnd());
    const bool painted =
        test::PumpUntil([&] { return GetPixel(dc, 150, 100) == RGB(200, 20, 10); }, 2000);
    ReleaseDC(window->hwnd(), dc);
    EXPECT_TRUE(painted);
    window->Hide();
  }
}

TEST_F(SkinnedWindowTest, AlphaShapeMakesTheWindowRegionFromTheBackground) {
  SkinnedWindow* window = Create(
      "<uilib><window id='w' windowstyle='WS_POPUP|WS_VISIBLE' width='8' height='4' shape='alpha' "
      "use-render-thread='false' style='background:res(self,ALPHA_SHAPE,PNG)'/></uilib>");
  ASSERT_NE(window, nullptr);
  InvalidateRect(window->hwnd(), nullptr, TRUE);
  ASSERT_TRUE(test::PumpUntil([&] { return window->Region() != nullptr; }, 2000));
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(window->hwnd(), region), ERROR);
  // The first run of each row above the alpha threshold (row 0 is transparent).
  EXPECT_FALSE(PtInRegion(region, 2, 0));
  EXPECT_TRUE(PtInRegion(region, 1, 1));
  EXPECT_FALSE(PtInRegion(region, 5, 1));
  EXPECT_TRUE(PtInRegion(region, 7, 3));
  DeleteObject(region);
}

TEST_F(SkinnedWindowTest, FadeShowHideChangeTheVisibility) {
  for (const char* ex_style : {"exwindowstyle='WS_EX_LAYERED'", ""}) {
    SCOPED_TRACE(ex_style);
    SkinnedWindow* window =
        Create(std::string("<uilib><window id='w' windowstyle='WS_POPUP' width='50' height='40' ") + ex_style +
               " style='background:argb(255,0,0,255)'/></uilib>");
    ASSERT_NE(window, nullptr);
    HWND hwnd = window->hwnd();
    EXPECT_FALSE(IsWindowVisible(hwnd));
    window->FadeIn(60);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    window->FadeOut(60);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    // A fade of an ordinary window leaves its extended style as it was.
    EXPECT_EQ((GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0, window->IsLayered());
    window->Show();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    window->Hide();
    EXPECT_FALSE(IsWindowVisible(hwnd));
  }
}

TEST_F(SkinnedWindowTest, NonIntegerGeometryOrRefusingOncreateFailsCreation) {
  EXPECT_EQ(Create("<uilib><window id='w' windowstyle='WS_POPUP' width='wide' height='10'/></uilib>"), nullptr);
  EXPECT_TRUE(lib_.Windows().empty());
  lib_.RegisterHandler("Refuse", reinterpret_cast<void*>(&FailingCreate));
  EXPECT_EQ(CreatePopup("oncreate='uilib::Refuse'"), nullptr);
  EXPECT_TRUE(lib_.Windows().empty());
  // "oncreate" is fired on the window element while it is created.
  SkinnedWindow* window = CreatePopup("oncreate='uilib::Log'");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(g_log.calls, std::vector<std::string>{"oncreate w"});
}

TEST_F(SkinnedWindowTest, CloseNeedsAnOncloseHandlerThatTakesIt) {
  SkinnedWindow* plain = CreatePopup("");
  ASSERT_NE(plain, nullptr);
  SendMessageW(plain->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(plain->hwnd()));

  SkinnedWindow* bound = CreatePopup("onclose='uilib::Log'");
  ASSERT_NE(bound, nullptr);
  HWND hwnd = bound->hwnd();
  g_log.answer = 0;
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(hwnd));
  g_log.answer = 1;
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(bound->NativeHandle(), nullptr);
  EXPECT_EQ(g_log.calls, (std::vector<std::string>{"onclose w", "onclose w"}));
}

TEST_F(SkinnedWindowTest, SizingKeepsTheMinimumSize) {
  SkinnedWindow* window = CreatePopup("minwidth='250' minheight='120'");
  ASSERT_NE(window, nullptr);
  RECT proposed{100, 100, 150, 400};
  SendMessageW(window->hwnd(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
  EXPECT_EQ(proposed.right, 350);
  EXPECT_EQ(proposed.bottom, 400);
  proposed = RECT{10, 20, 500, 30};
  SendMessageW(window->hwnd(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
  EXPECT_EQ(proposed.right, 500);
  EXPECT_EQ(proposed.bottom, 140);
}

TEST_F(SkinnedWindowTest, RightClickFiresOncontextmenuOnlyWhenReleasedOnTheSameElement) {
  SkinnedWindow* window = CreatePopup("oncontextmenu='uilib::Log'",
                                      "<element id='a' style='width:100px;height:50px' oncontextmenu='uilib::Log'/>"
                                      "<element id='b' style='width:100px;height:50px'/>");
  ASSERT_NE(window, nullptr);
  const LPARAM on_a = MAKELPARAM(10, 10);
  const LPARAM on_b = MAKELPARAM(150, 10);
  const auto right_click = [&](LPARAM down, LPARAM up) {
    SendMessageW(window->hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, down);
    SendMessageW(window->hwnd(), WM_RBUTTONUP, 0, up);
  };
  right_click(on_a, on_a);
  right_click(on_a, on_b);
  // `b` binds nothing, and the event does not bubble to the window.
  right_click(on_b, on_b);
  EXPECT_EQ(g_log.calls, std::vector<std::string>{"oncontextmenu a"});
}

TEST_F(SkinnedWindowTest, LeftClickReachesTheHandlerThroughRealMessages) {
  SkinnedWindow* window = CreatePopup("", "<element id='btn' style='width:100px;height:50px' onclick='uilib::Log'/>");
  ASSERT_NE(window, nullptr);
  SendMessageW(window->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  SendMessageW(window->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(25, 22));
  EXPECT_EQ(g_log.calls, std::vector<std::string>{"onclick btn"});
}

TEST_F(SkinnedWindowTest, DestroyWindowNullsThePointerAtOnceAndTheObjectGoesWithinASecond) {
  // Windows destroyed by earlier tests leave one per deletion tick.
  ASSERT_TRUE(test::PumpUntil([] { return State().deletion.Count() == 0; }, 10000));
  SkinnedWindow* window = CreatePopup("", "<element/>");
  ASSERT_NE(window, nullptr);
  HWND hwnd = window->hwnd();
  IUILibWindow* pointer = window;
  lib_.DestroyWindow(pointer);
  EXPECT_EQ(pointer, nullptr);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(lib_.Windows().empty());
  EXPECT_TRUE(test::PumpUntil([&] { return !State().deletion.Contains(window); }, 1600));
}

// Item provider of the scrolling test: a tall list and a pinned element, told
// about the ends of the scrolled content.
class EdgeProvider : public IUILibItemProvider2 {
 public:
  int GetItems(const char*, TiXmlElement** first) override {
    auto* document = new TiXmlDocument();
    document->Parse(
        "<element id='list' style='width:100%;height:400px'/>"
        "<element id='pinned' style='width:10px;height:10px;position:absolute'/>");
    *first = document->FirstChildElement();
    return 1;
  }
  void OnScrolledToEnd() override { ++ends; }
  void OnScrolledToStart() override { ++starts; }
  int ends = 0;
  int starts = 0;
};

TEST_F(SkinnedWindowTest, NativeScrollBarScrollsStaticChildrenAndTellsTheProvider) {
  EdgeProvider provider;
  lib_.RegisterHandler("Edges", static_cast<IUILibItemProvider*>(&provider));
  SkinnedWindow* window =
      CreatePopup("", "<element id='area' style='width:200px;height:100px;overflow:scroll' provider='uilib::Edges'/>");
  ASSERT_NE(window, nullptr);
  std::vector<IUILibElement*> found;
  window->FindElementsById(found, "area");
  window->FindElementsById(found, "list");
  window->FindElementsById(found, "pinned");
  ASSERT_EQ(found.size(), 3u);
  auto* area = dynamic_cast<CUILibElement*>(found[0]);
  auto* list = dynamic_cast<CUILibElement*>(found[1]);
  auto* pinned = dynamic_cast<CUILibElement*>(found[2]);
  ASSERT_NE(area->NativeScrollBarControl(), nullptr);
  HWND bar = FindWindowExW(window->hwnd(), nullptr, L"ScrollBar", nullptr);
  ASSERT_NE(bar, nullptr);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
  const int page = static_cast<int>(info.nPage);
  const int last = info.nMax - page + 1;
  ASSERT_GT(page, 0);
  ASSERT_GT(last, 0);

  // The wheel turned down over the area posts one line down.
  POINT screen{50, 50};
  ClientToScreen(window->hwnd(), &screen);
  SendMessageW(window->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
               MAKELPARAM(screen.x, screen.y));
  Pump();
  EXPECT_EQ(area->ScrollPosition(), page / 10);
  EXPECT_EQ(list->ScrollOffset(), page / 10);
  EXPECT_EQ(pinned->ScrollOffset(), 0);
  EXPECT_EQ(provider.ends + provider.starts, 0);

  const auto scroll = [&](WORD request, WORD position = 0) {
    SendMessageW(window->hwnd(), WM_VSCROLL, MAKEWPARAM(request, position), reinterpret_cast<LPARAM>(bar));
  };
  scroll(SB_PAGEDOWN);
  scroll(SB_BOTTOM);
  scroll(SB_LINEDOWN);
  EXPECT_EQ(area->ScrollPosition(), last);
  EXPECT_EQ(list->ScrollOffset(), last);
  EXPECT_EQ(provider.ends, 1);

  scroll(SB_THUMBPOSITION, 3);
  EXPECT_EQ(list->ScrollOffset(), 3);
  scroll(SB_PAGEUP);
  EXPECT_EQ(area->ScrollPosition(), 0);
  EXPECT_EQ(provider.starts, 1);

  // A drag past 65535 pixels: the message holds the low 16 bits of the
  // position, the scroll record all of it.
  SCROLLINFO tall{};
  tall.cbSize = sizeof tall;
  tall.fMask = SIF_RANGE | SIF_POS;
  tall.nMax = 200000;
  tall.nPos = 70000;
  SetScrollInfo(bar, SB_CTL, &tall, FALSE);
  scroll(SB_THUMBTRACK, static_cast<WORD>(70000 & 0xFFFF));
  EXPECT_EQ(list->ScrollOffset(), 70000);
  lib_.UnregisterHandler("Edges");
}

TEST_F(SkinnedWindowTest, RebuildRestoresAThumbPositionBeyondSixteenBits) {
  SkinnedWindow* window = CreatePopup(
      "", "<element id='area' style='width:200px;height:100px;overflow:scroll'>"
          "<element id='tall' style='width:100px;height:100000px'/></element>");
  ASSERT_NE(window, nullptr);
  std::vector<IUILibElement*> found;
  window->FindElementsById(found, "area");
  auto* area = dynamic_cast<CUILibElement*>(found.at(0));
  HWND bar = FindWindowExW(window->hwnd(), nullptr, L"ScrollBar", nullptr);
  ASSERT_NE(bar, nullptr);
  // A position beyond what the rebuilt content allows: the restore is
  // limited to the content's last position, not cut to 16 bits.
  SCROLLINFO wide{};
  wide.cbSize = sizeof wide;
  wide.fMask = SIF_RANGE | SIF_POS;
  wide.nMax = 300000;
  wide.nPos = 150000;
  SetScrollInfo(bar, SB_CTL, &wide, FALSE);
  area->Rebuild(0);
  Pump();
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
  const int last = info.nMax - static_cast<int>(info.nPage) + 1;
  ASSERT_GT(last, 65535);
  std::vector<IUILibElement*> tall;
  window->FindElementsById(tall, "tall");
  EXPECT_EQ(dynamic_cast<CUILibElement*>(tall.at(0))->ScrollOffset(), last);
}

}  // namespace
}  // namespace uilib
