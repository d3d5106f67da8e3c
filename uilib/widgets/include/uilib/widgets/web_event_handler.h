// What the web frame's event sink tells its handlers about the browser
// control's navigation. Declared without <windows.h>: the COM types are named
// by their SDK tags.
#pragma once

#include <string>

struct IWebBrowser2;
struct IDispatch;
typedef short VARIANT_BOOL;

namespace WebWindow {

class IEventHandler {
 public:
  // Each call that passes a browser passes a reference the handler releases.
  // True cancels the navigation.
  virtual int OnBeforeNavigate(IWebBrowser2* browser, const std::wstring& address) = 0;
  // True stops the dispatch to further handlers.
  virtual int OnDocumentComplete(IWebBrowser2* browser, const std::wstring& address) = 0;
  // True: this handler takes the new-window request; a non-empty
  // `replacement` replaces the address.
  virtual int OnNewWindowQuery(const std::wstring& address, std::wstring& replacement) = 0;
  virtual int OnNewWindow(const std::wstring& address, IDispatch** newWindow, VARIANT_BOOL* cancel) = 0;
  virtual int OnNavigateError(IWebBrowser2* browser, VARIANT_BOOL* cancel, const std::wstring& address) = 0;

 protected:
  ~IEventHandler() = default;
};

}  // namespace WebWindow
