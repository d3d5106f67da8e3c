// The sink of the browser control's DWebBrowserEvents2: reads each event's
// arguments (DISPPARAMS holds them last-first) and asks the handlers in order.
#include <exdispid.h>

#include "uilib/widgets/win/web_window.h"

namespace WebWindow {
namespace {

// The event's argument `index` in the order the event declares them, or null
// when the event carries fewer.
VARIANTARG* Argument(const DISPPARAMS& params, UINT index, UINT declared) {
  if (params.rgvarg == nullptr || params.cArgs != declared || index >= declared) return nullptr;
  return &params.rgvarg[declared - 1 - index];
}

// The text of a string argument, passed directly or by reference (also as a
// referenced VARIANT); empty for anything else.
std::wstring Text(const VARIANTARG* arg) {
  if (arg == nullptr) return {};
  if (arg->vt == (VT_BYREF | VT_VARIANT) && arg->pvarVal != nullptr) return Text(arg->pvarVal);
  BSTR text = nullptr;
  if (arg->vt == VT_BSTR) text = arg->bstrVal;
  if (arg->vt == (VT_BYREF | VT_BSTR) && arg->pbstrVal != nullptr) text = *arg->pbstrVal;
  return text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

VARIANT_BOOL* CancelFlag(VARIANTARG* arg) {
  return arg != nullptr && arg->vt == (VT_BYREF | VT_BOOL) ? arg->pboolVal : nullptr;
}

// A reference of the handler's own to the browser that sent the event.
IWebBrowser2* BrowserOf(const VARIANTARG* arg) {
  IDispatch* dispatch = nullptr;
  if (arg != nullptr && arg->vt == VT_DISPATCH) dispatch = arg->pdispVal;
  if (arg != nullptr && arg->vt == (VT_BYREF | VT_DISPATCH) && arg->ppdispVal != nullptr) dispatch = *arg->ppdispVal;
  IWebBrowser2* browser = nullptr;
  if (dispatch == nullptr ||
      FAILED(dispatch->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser)))) {
    return nullptr;
  }
  return browser;
}

}  // namespace

CWebBrowserEvents2::~CWebBrowserEvents2() { Unadvise(); }

STDMETHODIMP CWebBrowserEvents2::QueryInterface(REFIID, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = static_cast<IDispatch*>(this);
  return S_OK;
}

HRESULT CWebBrowserEvents2::Advise(IWebBrowser2* browser) {
  if (browser == nullptr) return E_POINTER;
  IConnectionPointContainer* container = nullptr;
  HRESULT hr = browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
  if (FAILED(hr)) return hr;
  IConnectionPoint* point = nullptr;
  hr = container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point);
  container->Release();
  if (FAILED(hr)) return hr;
  hr = point->Advise(static_cast<IDispatch*>(this), &cookie_);
  point->Release();
  if (FAILED(hr)) return hr;
  browser->AddRef();
  browser_ = browser;
  return S_OK;
}

void CWebBrowserEvents2::Unadvise() {
  if (browser_ == nullptr) return;
  IConnectionPointContainer* container = nullptr;
  if (SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)))) {
    IConnectionPoint* point = nullptr;
    if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point))) {
      point->Unadvise(cookie_);
      point->Release();
    }
    container->Release();
  }
  cookie_ = 0;
  browser_->Release();
  browser_ = nullptr;
}

STDMETHODIMP CWebBrowserEvents2::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                        UINT*) {
  switch (id) {
    case 101:
    case DISPID_NAVIGATECOMPLETE2:
      error_ = false;
      break;
    case DISPID_BEFORENAVIGATE2:
      if (params != nullptr) OnBeforeNavigate(*params);
      break;
    case DISPID_DOCUMENTCOMPLETE:
      if (params != nullptr) OnDocumentComplete(*params);
      break;
    case DISPID_NAVIGATEERROR:
      error_ = true;
      if (params != nullptr) OnNavigateError(*params);
      break;
    case DISPID_NEWWINDOW3:
      if (params != nullptr) OnNewWindow(*params);
      break;
    default:
      break;
  }
  return S_OK;
}

// BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
void CWebBrowserEvents2::OnBeforeNavigate(const DISPPARAMS& params) {
  const std::wstring address = Text(Argument(params, 1, 7));
  VARIANT_BOOL* cancel = CancelFlag(Argument(params, 6, 7));
  for (IEventHandler* handler : handlers_) {
    if (handler->OnBeforeNavigate(BrowserOf(Argument(params, 0, 7)), address)) {
      if (cancel != nullptr) *cancel = VARIANT_TRUE;
      return;
    }
  }
}

// DocumentComplete(pDisp, URL)
void CWebBrowserEvents2::OnDocumentComplete(const DISPPARAMS& params) {
  const std::wstring address = Text(Argument(params, 1, 2));
  for (IEventHandler* handler : handlers_) {
    if (handler->OnDocumentComplete(BrowserOf(Argument(params, 0, 2)), address)) return;
  }
}

// NavigateError(pDisp, URL, Frame, StatusCode, Cancel)
void CWebBrowserEvents2::OnNavigateError(const DISPPARAMS& params) {
  const std::wstring address = Text(Argument(params, 1, 5));
  VARIANT_BOOL* cancel = CancelFlag(Argument(params, 4, 5));
  for (IEventHandler* handler : handlers_) {
    if (handler->OnNavigateError(BrowserOf(Argument(params, 0, 5)), cancel, address)) return;
  }
}

// NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
void CWebBrowserEvents2::OnNewWindow(const DISPPARAMS& params) {
  VARIANTARG* target = Argument(params, 0, 5);
  IDispatch** new_window = target != nullptr && target->vt == (VT_BYREF | VT_DISPATCH) ? target->ppdispVal : nullptr;
  VARIANT_BOOL* cancel = CancelFlag(Argument(params, 1, 5));
  VARIANTARG* url = Argument(params, 4, 5);
  for (IEventHandler* handler : handlers_) {
    std::wstring replacement;
    if (!handler->OnNewWindowQuery(Text(url), replacement)) continue;
    if (!replacement.empty() && url != nullptr && url->vt == VT_BSTR) {
      SysFreeString(url->bstrVal);
      url->bstrVal = SysAllocStringLen(replacement.data(), static_cast<UINT>(replacement.size()));
    }
    handler->OnNewWindow(Text(url), new_window, cancel);
    return;
  }
}

}  // namespace WebWindow
