#include "standin_browser.h"

#include <exdispid.h>
#include <olectl.h>

namespace standin {

STDMETHODIMP EventPoint::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EventPoint::AddRef() { return owner_->AddRef(); }
STDMETHODIMP_(ULONG) EventPoint::Release() { return owner_->Release(); }

STDMETHODIMP EventPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = DIID_DWebBrowserEvents2;
  return S_OK;
}

STDMETHODIMP EventPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (out == nullptr) return E_POINTER;
  *out = owner_;
  owner_->AddRef();
  return S_OK;
}

STDMETHODIMP EventPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (sink == nullptr || cookie == nullptr) return E_POINTER;
  if (sink_ != nullptr) return CONNECT_E_ADVISELIMIT;
  IDispatch* dispatch = nullptr;
  if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) return CONNECT_E_CANNOTCONNECT;
  sink_ = dispatch;
  *cookie = 7;
  return S_OK;
}

STDMETHODIMP EventPoint::Unadvise(DWORD cookie) {
  if (cookie != 7 || sink_ == nullptr) return CONNECT_E_NOCONNECTION;
  sink_->Release();
  sink_ = nullptr;
  return S_OK;
}

STDMETHODIMP StandInBrowser::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject)) {
    *out = static_cast<IOleObject*>(this);
  } else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IWebBrowser2) ||
             IsEqualIID(iid, IID_IWebBrowserApp) || IsEqualIID(iid, IID_IWebBrowser)) {
    *out = static_cast<IWebBrowser2*>(this);
  } else if (IsEqualIID(iid, IID_IOleInPlaceObject) || IsEqualIID(iid, IID_IOleWindow)) {
    *out = static_cast<IOleInPlaceObject*>(this);
  } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
    *out = static_cast<IConnectionPointContainer*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP StandInBrowser::Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
  if (url == nullptr || url->vt != VT_BSTR) return E_INVALIDARG;
  navigations.emplace_back(url->bstrVal != nullptr ? url->bstrVal : L"");
  return S_OK;
}

STDMETHODIMP StandInBrowser::SetClientSite(IOleClientSite* site) {
  if (site != nullptr) site->AddRef();
  if (site_ != nullptr) site_->Release();
  site_ = site;
  return S_OK;
}

STDMETHODIMP StandInBrowser::GetClientSite(IOleClientSite** site) {
  if (site == nullptr) return E_POINTER;
  *site = site_;
  if (site_ != nullptr) site_->AddRef();
  return S_OK;
}

STDMETHODIMP StandInBrowser::SetHostNames(LPCOLESTR container, LPCOLESTR) {
  host_name = container != nullptr ? container : L"";
  return S_OK;
}

STDMETHODIMP StandInBrowser::Close(DWORD) {
  closed = true;
  SetClientSite(nullptr);
  return S_OK;
}

STDMETHODIMP StandInBrowser::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent_window, LPCRECT rect) {
  if (verb != OLEIVERB_SHOW) return OLEOBJ_S_INVALIDVERB;
  shown = true;
  parent = parent_window;
  if (rect != nullptr) object_rect = *rect;
  return S_OK;
}

STDMETHODIMP StandInBrowser::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = parent;
  return S_OK;
}

STDMETHODIMP StandInBrowser::SetObjectRects(LPCRECT position, LPCRECT) {
  if (position != nullptr) object_rect = *position;
  return S_OK;
}

STDMETHODIMP StandInBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!IsEqualIID(iid, DIID_DWebBrowserEvents2)) return CONNECT_E_NOCONNECTION;
  *out = &point_;
  point_.AddRef();
  return S_OK;
}

void StandInBrowser::Fire(DISPID id, std::vector<VARIANTARG> args) {
  IDispatch* target = point_.Sink();
  if (target == nullptr) return;
  // DISPPARAMS carries the arguments last-first.
  std::vector<VARIANTARG> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

namespace {

VARIANTARG Dispatch(IDispatch* dispatch) {
  VARIANTARG v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = dispatch;
  return v;
}

VARIANTARG ByRefVariant(VARIANT* inner) {
  VARIANTARG v;
  VariantInit(&v);
  v.vt = VT_BYREF | VT_VARIANT;
  v.pvarVal = inner;
  return v;
}

VARIANTARG Flag(VARIANT_BOOL* flag) {
  VARIANTARG v;
  VariantInit(&v);
  v.vt = VT_BYREF | VT_BOOL;
  v.pboolVal = flag;
  return v;
}

// An owned string VARIANT, freed with its holder.
struct Bstr {
  explicit Bstr(const std::wstring& text) {
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  }
  ~Bstr() { VariantClear(&value); }
  VARIANT value;
};

}  // namespace

VARIANT_BOOL StandInBrowser::CompleteNavigation(const std::wstring& url) {
  Bstr address(url);
  VARIANT empty;
  VariantInit(&empty);
  VARIANT_BOOL cancel = VARIANT_FALSE;
  IDispatch* self = static_cast<IWebBrowser2*>(this);
  Fire(DISPID_BEFORENAVIGATE2, {Dispatch(self), ByRefVariant(&address.value), ByRefVariant(&empty),
                                ByRefVariant(&empty), ByRefVariant(&empty), ByRefVariant(&empty), Flag(&cancel)});
  if (cancel == VARIANT_TRUE) return cancel;
  Fire(DISPID_NAVIGATECOMPLETE2, {Dispatch(self), ByRefVariant(&address.value)});
  Fire(DISPID_DOCUMENTCOMPLETE, {Dispatch(self), ByRefVariant(&address.value)});
  return cancel;
}

VARIANT_BOOL StandInBrowser::FailNavigation(const std::wstring& url) {
  Bstr address(url);
  VARIANT empty;
  VariantInit(&empty);
  VARIANT status;
  VariantInit(&status);
  status.vt = VT_I4;
  status.lVal = 404;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  IDispatch* self = static_cast<IWebBrowser2*>(this);
  Fire(DISPID_BEFORENAVIGATE2, {Dispatch(self), ByRefVariant(&address.value), ByRefVariant(&empty),
                                ByRefVariant(&empty), ByRefVariant(&empty), ByRefVariant(&empty), Flag(&cancel)});
  if (cancel == VARIANT_TRUE) return cancel;
  Fire(DISPID_NAVIGATEERROR,
       {Dispatch(self), ByRefVariant(&address.value), ByRefVariant(&empty), ByRefVariant(&status), Flag(&cancel)});
  return cancel;
}

VARIANT_BOOL StandInBrowser::RequestNewWindow(const std::wstring& url) {
  IDispatch* new_window = nullptr;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  VARIANTARG target;
  VariantInit(&target);
  target.vt = VT_BYREF | VT_DISPATCH;
  target.ppdispVal = &new_window;
  VARIANTARG flags;
  VariantInit(&flags);
  flags.vt = VT_UI4;
  flags.ulVal = 0;
  Bstr context(L"");
  Bstr address(url);
  Fire(DISPID_NEWWINDOW3, {target, Flag(&cancel), flags, context.value, address.value});
  return cancel;
}

STDMETHODIMP StandInFactory::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP StandInFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  return browser_->QueryInterface(iid, out);
}

ScopedRegistration::ScopedRegistration(IClassFactory* factory) {
  if (FAILED(CoRegisterClassObject(CLSID_WebBrowser, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_))) {
    cookie_ = 0;
  }
}

ScopedRegistration::~ScopedRegistration() {
  if (cookie_ != 0) CoRevokeClassObject(cookie_);
}

}  // namespace standin
