// The highlight button and the native-control kinds in real layered skinned
// windows under Wine: the controls, their interfaces, and their pixels in the
// window's surface.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../../../core/tests/win/runtime_test_support.h"
#include "uilib/uilib_impl.h"
#include "uilib/widgets/native_controls.h"
#include "uilib/win/skinned_window.h"

namespace uilib {
namespace {

using win::SkinnedWindow;

std::vector<std::string> g_events;

int RecordingHandler(const char* event, IUILibElement* element) {
  g_events.push_back(std::string(event) + " " + element->GetId());
  return 0;
}

std::string HandleText(const void* pointer) {
  char text[64];
  std::snprintf(text, sizeof text, "handle::%p", pointer);
  return text;
}

// Streams a fixed RTF text into the control.
class RtfSource : public IUILibRichEditStream {
 public:
  explicit RtfSource(std::string rtf) : rtf_(std::move(rtf)) {
    stream_.dwCookie = reinterpret_cast<DWORD_PTR>(this);
    stream_.pfnCallback = &RtfSource::Read;
  }
  EDITSTREAM* PrepareStream() override {
    offset_ = 0;
    ++prepared;
    return &stream_;
  }
  int prepared = 0;

 private:
  static DWORD CALLBACK Read(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
    auto* self = reinterpret_cast<RtfSource*>(cookie);
    const size_t left = self->rtf_.size() - self->offset_;
    const size_t n = left < static_cast<size_t>(size) ? left : static_cast<size_t>(size);
    std::memcpy(buffer, self->rtf_.data() + self->offset_, n);
    self->offset_ += n;
    *read = static_cast<LONG>(n);
    return 0;
  }
  std::string rtf_;
  size_t offset_ = 0;
  EDITSTREAM stream_{};
};

class NativeControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_events.clear();
    lib_.RegisterHandler("Log", reinterpret_cast<void*>(&RecordingHandler));
  }

  // A layered 300x200 popup with `children`.
  SkinnedWindow* Create(const std::string& children) {
    const std::string skin =
        "<uilib><window id='w' windowstyle='WS_POPUP|WS_VISIBLE' exwindowstyle='WS_EX_LAYERED' width='300' "
        "height='200' style='background:rgb(240,240,240);'>" +
        children + "</window></uilib>";
    EXPECT_EQ(lib_.LoadSkinFromMemory(skin), SkinLoadResult::kOk);
    auto* window = dynamic_cast<SkinnedWindow*>(lib_.CreateWindowById("w", nullptr, nullptr, nullptr));
    Pump();
    return window;
  }
  template <typename Kind>
  Kind* Find(SkinnedWindow* window, const char* id) {
    std::vector<IUILibElement*> found;
    window->FindElementsById(found, id);
    return found.empty() ? nullptr : dynamic_cast<Kind*>(found.front());
  }
  void Destroy(SkinnedWindow* window) {
    IUILibWindow* handle = window;
    lib_.DestroyWindow(handle);
  }
  static void Pump() { test::PumpUntil([] { return false; }, 50); }
  static RECT ChildRect(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  // Whether any surface pixel inside `r` differs from the window background.
  static bool ShowsSomethingIn(SkinnedWindow* window, RECT r) {
    const Gdiplus::ARGB background = Gdiplus::Color(255, 240, 240, 240).GetValue();
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        if (window->Surface()->PixelAt(x, y) != background) return true;
      }
    }
    return false;
  }

  CUILibImpl lib_;
};

TEST_F(NativeControlsTest, SelectedButtonDrawsTheHighlightAndHoverDarkensIt) {
  SkinnedWindow* window = Create(
      "<button id='b' selected='TRUE' style='width:100px;height:40px;'/>"
      "<button id='plain' style='width:100px;height:40px;'/>");
  ASSERT_NE(window, nullptr);
  if (window->Surface() == nullptr) GTEST_SKIP() << "the display is not 32-bit: no layered surface";
  auto* button = Find<CUILibButton>(window, "b");
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->IsSelected());
  // The outline runs along the top edge (under the translucent fill, which
  // shifts it a few units); the unselected button shows nothing.
  const Gdiplus::Color outline(window->Surface()->PixelAt(50, 0));
  EXPECT_NEAR(outline.GetR(), 185, 8);
  EXPECT_NEAR(outline.GetG(), 215, 8);
  EXPECT_NEAR(outline.GetB(), 252, 8);
  EXPECT_EQ(window->Surface()->PixelAt(150, 20), Gdiplus::Color(255, 240, 240, 240).GetValue());
  const Gdiplus::Color selected_fill(window->Surface()->PixelAt(50, 20));
  EXPECT_LT(selected_fill.GetR(), 240);

  // Hovered as well: the highlight is drawn a second time, darker.
  EXPECT_EQ(button->OnMouseMove(PointF{50, 20}), 1);
  Pump();
  const Gdiplus::Color both_fill(window->Surface()->PixelAt(50, 20));
  EXPECT_LT(both_fill.GetR(), selected_fill.GetR());
  button->OnMouseLeave();
  Pump();
  EXPECT_EQ(window->Surface()->PixelAt(50, 20), selected_fill.GetValue());
  Destroy(window);
}

TEST_F(NativeControlsTest, CheckBoxIsARealControlShownInTheSurfaceAndMovedByLayout) {
  SkinnedWindow* window = Create("<element style='width:30px;height:20px;'/><checkbox id='c' style='width:20px;height:20px;'/>");
  ASSERT_NE(window, nullptr);
  auto* box = Find<CUILibCheckBox>(window, "c");
  ASSERT_NE(box, nullptr);
  HWND control = box->Control();
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(GetParent(control), window->hwnd());
  EXPECT_EQ(GetDlgCtrlID(control), 0x406);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE)) & 0xFFFF000Fu, 0x50000003u);
  EXPECT_EQ(ChildRect(control).left, 30);

  IUILibCheckBox* check = box;
  EXPECT_EQ(check->GetCheck(), 0);
  check->SetCheck(1);
  EXPECT_EQ(check->GetCheck(), 1);
  EXPECT_EQ(SendMessageW(control, BM_GETCHECK, 0, 0), BST_CHECKED);

  if (window->Surface() != nullptr) {
    EXPECT_TRUE(ShowsSomethingIn(window, RECT{30, 0, 50, 20}));
    // A relayout moves the control, and its pixels follow.
    window->SetStyle("padding:0px 0px 0px 100px;background:rgb(240,240,240);");
    Pump();
    EXPECT_EQ(ChildRect(control).left, 130);
    EXPECT_TRUE(ShowsSomethingIn(window, RECT{130, 0, 150, 20}));
    EXPECT_FALSE(ShowsSomethingIn(window, RECT{30, 0, 50, 20}));
  }
  Destroy(window);
  EXPECT_FALSE(IsWindow(control));
}

TEST_F(NativeControlsTest, ComboBoxShowsItemsWithPicturesAndSelectsByData) {
  Gdiplus::Bitmap first(16, 16, PixelFormat32bppARGB);
  Gdiplus::Bitmap second(16, 16, PixelFormat32bppARGB);
  const std::string data = "1:" + HandleText(&first) + ",one;junk;9:handle::zz,no picture;2:" +
                           HandleText(&second) + ",two";
  SkinnedWindow* window =
      Create("<comboboxex id='c' data='" + data + "' default='2' onselchange='uilib::Log' style='width:150px;height:24px;'/>");
  ASSERT_NE(window, nullptr);
  auto* combo = Find<CUILibComboBoxEx>(window, "c");
  ASSERT_NE(combo, nullptr);
  HWND control = combo->Control();
  ASSERT_NE(control, nullptr);
  // The item without a picture is not shown; the default is selected.
  EXPECT_EQ(SendMessageW(control, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(control, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(combo->GetSelectedData(), 2);
  EXPECT_EQ(reinterpret_cast<CUILibElement*>(GetWindowLongPtrW(control, GWLP_USERDATA)),
            static_cast<CUILibElement*>(combo));
  RECT r = ChildRect(control);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 150);

  // An absent value answers the count and keeps the selection.
  EXPECT_EQ(combo->SelectByData(7), 2);
  EXPECT_EQ(combo->GetSelectedData(), 2);
  EXPECT_EQ(combo->SelectByData(1), 0);
  EXPECT_EQ(combo->GetSelectedData(), 1);

  // The window routes the control's selection change to the element.
  SendMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
  EXPECT_EQ(g_events, std::vector<std::string>{"onselchange c"});

  // Enable acts on the control only.
  EXPECT_EQ(combo->Enable(0), 1);
  EXPECT_FALSE(IsWindowEnabled(control));
  EXPECT_FALSE(combo->IsDisabled());
  EXPECT_EQ(combo->Enable(1), 0);
  EXPECT_TRUE(IsWindowEnabled(control));

  if (window->Surface() != nullptr) {
    EXPECT_TRUE(ShowsSomethingIn(window, RECT{0, 0, 150, 24}));
  }
  Destroy(window);
  EXPECT_FALSE(IsWindow(control));
}

TEST_F(NativeControlsTest, RichEditTakesStyleTypedTextAndFiresOnReturn) {
  SkinnedWindow* window = Create(
      "<richedit id='r' windowstyle='ES_MULTILINE|WS_VSCROLL|NO_SUCH_STYLE' onreturn='uilib::Log' "
      "style='width:200px;height:80px;'/><richedit id='plain' style='width:50px;height:20px;'/>");
  ASSERT_NE(window, nullptr);
  auto* edit = Find<CUILibRichEdit>(window, "r");
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->WindowStyle(), 0x54200004u);
  EXPECT_EQ(Find<CUILibRichEdit>(window, "plain")->WindowStyle(), 0x55200804u);
  HWND control = edit->Control();
  ASSERT_NE(control, nullptr);
  wchar_t class_name[64] = {};
  GetClassNameW(control, class_name, 64);
  EXPECT_EQ(_wcsicmp(class_name, L"RichEdit20W"), 0);
  EXPECT_EQ(ChildRect(control).right, 200);

  // Typed as the message loop delivers keys: Enter is a key-down and a character.
  for (wchar_t c : std::wstring(L"ab\rc")) {
    if (c == L'\r') SendMessageW(control, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(control, WM_CHAR, c, 1);
  }
  // One onreturn for the one Enter, and the line break still reached the control.
  EXPECT_EQ(g_events, std::vector<std::string>{"onreturn r"});
  const std::wstring typed = edit->GetText();
  EXPECT_EQ(typed.substr(0, 2), L"ab");
  EXPECT_NE(typed.find(L'\r'), std::wstring::npos);
  EXPECT_EQ(typed.back(), L'c');

  // Text longer than the control's default typing limit comes back whole.
  const std::wstring long_text(33000, L'x');
  EXPECT_EQ(edit->SetText(long_text.c_str()), 1);
  EXPECT_EQ(edit->GetText().size(), static_cast<size_t>(GetWindowTextLengthW(control)));
  EXPECT_EQ(edit->SetText(L"short"), 1);
  EXPECT_EQ(edit->GetText(), L"short");
  Destroy(window);
  EXPECT_FALSE(IsWindow(control));
}

TEST_F(NativeControlsTest, RichEditStreamsOnlyFromRegisteredSources) {
  RtfSource registered("{\\rtf1 hello {\\b bold}}");
  RtfSource unregistered("{\\rtf1 never}");
  RegisterRichEditStream(&registered);
  SkinnedWindow* window = Create(
      "<richedit id='ok' stream='" + HandleText(&registered) + "' style='width:200px;height:30px;'/>" +
      "<richedit id='stranger' stream='" + HandleText(&unregistered) + "' style='width:200px;height:30px;'/>" +
      "<richedit id='junk' stream='handle::12345678zz' style='width:200px;height:30px;'/>" +
      "<richedit id='wild' stream='handle::0x1' style='width:200px;height:30px;'/>");
  UnregisterRichEditStream(&registered);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Find<CUILibRichEdit>(window, "ok")->GetText(), L"hello bold");
  EXPECT_EQ(registered.prepared, 1);
  // An address the client never registered is not used, nor is junk.
  EXPECT_EQ(unregistered.prepared, 0);
  EXPECT_EQ(Find<CUILibRichEdit>(window, "stranger")->GetText(), L"");
  EXPECT_EQ(Find<CUILibRichEdit>(window, "junk")->GetText(), L"");
  EXPECT_EQ(Find<CUILibRichEdit>(window, "wild")->GetText(), L"");
  if (window->Surface() != nullptr) {
    EXPECT_TRUE(ShowsSomethingIn(window, RECT{0, 0, 200, 30}));
  }
  Destroy(window);
}

}  // namespace
}  // namespace uilib
