// The rich edit: a "RichEdit20W" control with OLE object support, its content
// streamed in as RTF from a registered client source, the element's font, and
// `onreturn` fired for every Enter typed into it.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <mutex>

#include <tinyxml.h>

#include "uilib/style.h"
#include "uilib/widgets/native_controls.h"
#include "uilib/widgets/win/rich_edit_ole_callback.h"
#include "uilib/win/common_controls.h"
#include "uilib/win/font_lookup.h"
#include "uilib/win/style_graphics.h"

namespace {

constexpr int kDropDownHeight = 1000;
constexpr UINT_PTR kCharSubclassId = 1;

// Both libraries once per process; a failed attempt is repeated by the next
// rich edit.
void LoadRichEditLibraries() {
  static std::mutex mutex;
  static bool loaded = false;
  std::lock_guard<std::mutex> lock(mutex);
  if (loaded) return;
  const bool msftedit = LoadLibraryW(L"MSFTEDIT.dll") != nullptr;
  const bool riched20 = LoadLibraryW(L"RICHED20.DLL") != nullptr;
  loaded = msftedit && riched20;
}

// Sees every message of the control first: characters go to the element,
// then on to the control.
LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data) {
  if (message == WM_CHAR) {
    reinterpret_cast<CUILibRichEdit*>(data)->OnControlChar(static_cast<unsigned int>(wparam));
    // A handler that destroyed the element took the control with it.
    if (!IsWindow(control)) return 0;
  }
  if (message == WM_NCDESTROY) uilib::win::RemoveSubclass(control, ControlProc, kCharSubclassId);
  return uilib::win::CallDefaultSubclass(control, message, wparam, lparam);
}

}  // namespace

CUILibRichEdit::CUILibRichEdit(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibNativeControl(parent, xml, lib) {
  LoadRichEditLibraries();
  if (const char* names = Xml()->Attribute("windowstyle")) window_style_ = uilib::ParseRichEditStyle(names);
}

CUILibRichEdit::~CUILibRichEdit() {
  DestroyControl();
  if (rich_edit_ole_ != nullptr) rich_edit_ole_->Release();
  if (font_ != nullptr) DeleteObject(font_);
}

void CUILibRichEdit::OnAttach(uilib::NativeWindow window) {
  // Attached again by a rebuild: the control made at the first attach stays.
  if (window == nullptr || control_ != nullptr) return;
  uilib::win::StartCommonControls();
  HWND control = CreateWindowExW(0, L"RichEdit20W", nullptr, window_style_, 0, 0, 0, kDropDownHeight, window,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
  if (control == nullptr) return;
  AdoptControl(control, false);
  HideCaret(control);
  SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(static_cast<CUILibElement*>(this)));
  uilib::win::SetSubclass(control, ControlProc, kCharSubclassId, reinterpret_cast<DWORD_PTR>(this));
  PrepareControl();
}

void CUILibRichEdit::PrepareControl() {
  if (!callback_) callback_ = std::make_unique<uilib::RichEditOleCallback>(&rich_edit_ole_);
  SendMessageW(control_, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(callback_.get()));
  IRichEditOle* ole = nullptr;
  SendMessageW(control_, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
  if (rich_edit_ole_ != nullptr) rich_edit_ole_->Release();
  rich_edit_ole_ = ole;
  StreamIn();
  ApplyFont();
}

void CUILibRichEdit::StreamIn() {
  const char* value = Xml()->Attribute("stream");
  if (value == nullptr) return;
  IUILibRichEditStream* source = uilib::FindRichEditStream(value);
  if (source == nullptr) return;
  if (EDITSTREAM* stream = source->PrepareStream()) {
    SendMessageW(control_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(stream));
  }
}

void CUILibRichEdit::ApplyFont() {
  const uilib::StyleGraphics* graphics = Style().Graphics();
  Gdiplus::Font* font = graphics != nullptr && graphics->font ? graphics->font.get() : uilib::win::DefaultFont();
  if (font == nullptr) return;
  HDC dc = GetDC(control_);
  LOGFONTW logfont{};
  Gdiplus::Status status = Gdiplus::GenericError;
  {
    Gdiplus::Graphics measure(dc);
    status = font->GetLogFontW(&measure, &logfont);
  }
  ReleaseDC(control_, dc);
  if (status != Gdiplus::Ok) return;
  HFONT created = CreateFontIndirectW(&logfont);
  if (created == nullptr) return;
  SendMessageW(control_, WM_SETFONT, reinterpret_cast<WPARAM>(created), TRUE);
  if (font_ != nullptr) DeleteObject(font_);
  font_ = created;
}

void CUILibRichEdit::OnControlChar(unsigned int character) {
  if (character == '\r') FireEvent("onreturn");
}

std::wstring CUILibRichEdit::GetText() {
  if (control_ == nullptr) return {};
  const int length = GetWindowTextLengthW(control_);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(control_, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

int CUILibRichEdit::SetText(const wchar_t* text) {
  if (control_ == nullptr) return 0;
  return SetWindowTextW(control_, text != nullptr ? text : L"") ? 1 : 0;
}
