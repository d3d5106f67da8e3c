// The embedded web frame: the system's web browser control in a host window
// of its own (WebWindow::CWebWindow, win/web_window.h), created at the first
// layout in a skinned window, moved by later layouts. Document completion,
// new-window requests and navigation errors become the element events
// `onload`, `onnavigate` and `onerror`.
#pragma once

#include <memory>
#include <string>

#include "uilib/element.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/widgets/web_event_handler.h"

namespace WebWindow {
class CWebWindow;
class CWebBrowserEvents2;
}  // namespace WebWindow

class CUILibIFrame : public CUILibElement, public IUILibIFrame, public WebWindow::IEventHandler {
 public:
  CUILibIFrame(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  ~CUILibIFrame() override;
  const char* KindName() const override { return "CUILibIFrame"; }

  // Takes the offered rectangle; the first layout in a window embeds the
  // control and opens the source, later ones move the host window.
  void Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) override;
  // The control paints its own window.
  void Paint(Gdiplus::Graphics*, const uilib::RectF&) override {}

  // IUILibIFrame
  const wchar_t* GetSource() override { return source_.c_str(); }
  void Navigate(const wchar_t* address) override;
  const wchar_t* GetNewWindowUrl() override { return new_window_address_.c_str(); }
  const wchar_t* GetLoadedUrl() override { return loaded_address_.c_str(); }

  // WebWindow::IEventHandler
  int OnBeforeNavigate(IWebBrowser2* browser, const std::wstring& address) override;
  int OnDocumentComplete(IWebBrowser2* browser, const std::wstring& address) override;
  int OnNewWindowQuery(const std::wstring& address, std::wstring& replacement) override;
  int OnNewWindow(const std::wstring& address, IDispatch** newWindow, VARIANT_BOOL* cancel) override;
  int OnNavigateError(IWebBrowser2* browser, VARIANT_BOOL* cancel, const std::wstring& address) override;

  WebWindow::CWebWindow* HostWindow() const { return host_.get(); }

 private:
  // Navigate2 on the control, when there is one.
  void NavigateControl(const std::wstring& address);

  std::wstring source_;
  std::wstring loaded_address_;
  std::wstring new_window_address_;
  std::unique_ptr<WebWindow::CWebWindow> host_;
  std::unique_ptr<WebWindow::CWebBrowserEvents2> sink_;
};
