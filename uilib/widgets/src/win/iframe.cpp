// The web frame element: embeds the browser control at its first layout in a
// window and turns the control's events into element events.
#include "uilib/widgets/iframe.h"

#include <tinyxml.h>

#include "uilib/geometry.h"
#include "uilib/text_util.h"
#include "uilib/widgets/win/web_window.h"

namespace {

void ReleaseBrowser(IWebBrowser2* browser) {
  if (browser != nullptr) browser->Release();
}

// Sets `field` for the duration of a handler call and clears it after, also
// when the handler throws.
class ScopedAddress {
 public:
  ScopedAddress(std::wstring& field, const std::wstring& value) : field_(field) { field_ = value; }
  ~ScopedAddress() { field_.clear(); }
  ScopedAddress(const ScopedAddress&) = delete;
  ScopedAddress& operator=(const ScopedAddress&) = delete;

 private:
  std::wstring& field_;
};

}  // namespace

CUILibIFrame::CUILibIFrame(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibElement(parent, xml, lib) {
  if (const char* src = Xml()->Attribute("src")) source_ = uilib::Utf8ToWide(src);
}

CUILibIFrame::~CUILibIFrame() {
  // The window's destruction unadvises the sink and releases the control.
  host_.reset();
  sink_.reset();
}

void CUILibIFrame::Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) {
  // The frame has no children: the base only takes the offered rectangle.
  CUILibElement::Layout(area, graphics, out);
  if (out != nullptr) return;
  const int x = uilib::TruncToInt(area.x);
  const int y = uilib::TruncToInt(area.y);
  const int right = uilib::TruncToInt(area.x + area.w);
  const int bottom = uilib::TruncToInt(area.y + area.h);
  if (host_) {
    if (host_->hwnd() != nullptr) MoveWindow(host_->hwnd(), x, y, right - x, bottom - y, TRUE);
    return;
  }
  uilib::WindowServices* services = Services();
  HWND parent = services != nullptr ? services->Handle() : nullptr;
  if (parent == nullptr) return;
  sink_ = std::make_unique<WebWindow::CWebBrowserEvents2>();
  sink_->AddHandler(this);
  host_ = std::make_unique<WebWindow::CWebWindow>(sink_.get(), RECT{x, y, right, bottom});
  host_->CreateHost(parent);
  NavigateControl(source_);
}

void CUILibIFrame::Navigate(const wchar_t* address) {
  source_ = address != nullptr ? address : L"";
  NavigateControl(source_);
}

void CUILibIFrame::NavigateControl(const std::wstring& address) {
  IWebBrowser2* browser = host_ ? host_->Browser() : nullptr;
  if (browser == nullptr) return;
  VARIANT target;
  VariantInit(&target);
  target.vt = VT_BSTR;
  target.bstrVal = SysAllocStringLen(address.data(), static_cast<UINT>(address.size()));
  browser->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
  VariantClear(&target);
}

int CUILibIFrame::OnBeforeNavigate(IWebBrowser2* browser, const std::wstring&) {
  ReleaseBrowser(browser);
  return 0;
}

int CUILibIFrame::OnDocumentComplete(IWebBrowser2* browser, const std::wstring& address) {
  int consumed = 0;
  {
    ScopedAddress loaded(loaded_address_, address);
    consumed = FireEvent("onload");
  }
  ReleaseBrowser(browser);
  return consumed;
}

int CUILibIFrame::OnNewWindowQuery(const std::wstring&, std::wstring& replacement) {
  replacement.clear();
  return 1;
}

int CUILibIFrame::OnNewWindow(const std::wstring& address, IDispatch**, VARIANT_BOOL* cancel) {
  ScopedAddress requested(new_window_address_, address);
  if (FireEvent("onnavigate") != 0 && cancel != nullptr) *cancel = VARIANT_TRUE;
  return 1;
}

int CUILibIFrame::OnNavigateError(IWebBrowser2* browser, VARIANT_BOOL* cancel, const std::wstring&) {
  // The control shows no error page; the element's handler hears of it.
  if (cancel != nullptr) *cancel = VARIANT_TRUE;
  FireEvent("onerror");
  ReleaseBrowser(browser);
  return 1;
}
