// The container side that the browser control talks to: client site,
// in-place site, in-place frame and document UI handler of a host window.
#include "uilib/widgets/win/web_window.h"

namespace WebWindow {
namespace {

// DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO | DOCHOSTUIFLAG_NOTHEME.
constexpr DWORD kHostFlags = 0x8000C;

template <typename Interface>
HRESULT Give(Interface* object, void** out) {
  object->AddRef();
  *out = object;
  return S_OK;
}

}  // namespace

STDMETHODIMP IOleClientSiteImpl::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) return Give(host_->ClientSite(), out);
  if (IsEqualIID(iid, IID_IOleInPlaceSite)) return Give(host_->InPlaceSite(), out);
  if (IsEqualIID(iid, IID_IDocHostUIHandler)) return Give(host_->UiHandler(), out);
  return E_NOINTERFACE;
}

STDMETHODIMP IOleClientSiteImpl::GetContainer(IOleContainer** container) {
  if (container != nullptr) *container = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP IOleInPlaceSiteImpl::QueryInterface(REFIID iid, void** out) {
  return host_->ClientSite()->QueryInterface(iid, out);
}

STDMETHODIMP IOleInPlaceSiteImpl::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = host_->hwnd();
  return S_OK;
}

STDMETHODIMP IOleInPlaceSiteImpl::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                                   LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (frame != nullptr) *frame = host_->InPlaceFrame();
  if (document != nullptr) *document = nullptr;
  // The control fills the host window: both rectangles are its client area.
  RECT client{};
  GetClientRect(host_->hwnd(), &client);
  if (position != nullptr) *position = client;
  if (clip != nullptr) *clip = client;
  if (info != nullptr) {
    info->fMDIApp = FALSE;
    info->hwndFrame = host_->hwnd();
    info->haccel = nullptr;
    info->cAccelEntries = 0;
  }
  return S_OK;
}

STDMETHODIMP IOleInPlaceSiteImpl::OnPosRectChange(LPCRECT position) {
  IOleObject* object = host_->Object();
  if (object == nullptr || position == nullptr) return S_OK;
  IOleInPlaceObject* in_place = nullptr;
  if (SUCCEEDED(object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&in_place)))) {
    in_place->SetObjectRects(position, position);
    in_place->Release();
  }
  return S_OK;
}

STDMETHODIMP IOleInPlaceFrameImpl::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceUIWindow) ||
      IsEqualIID(iid, IID_IOleInPlaceFrame)) {
    return Give(host_->InPlaceFrame(), out);
  }
  return E_NOINTERFACE;
}

STDMETHODIMP IOleInPlaceFrameImpl::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = host_->hwnd();
  return S_OK;
}

STDMETHODIMP IDocHostUIHandlerImpl::QueryInterface(REFIID iid, void** out) {
  return host_->ClientSite()->QueryInterface(iid, out);
}

STDMETHODIMP IDocHostUIHandlerImpl::GetHostInfo(DOCHOSTUIINFO* info) {
  if (info == nullptr) return E_POINTER;
  info->dwFlags = kHostFlags;
  info->dwDoubleClick = 0;
  return S_OK;
}

STDMETHODIMP IDocHostUIHandlerImpl::GetExternal(IDispatch** external) {
  if (external != nullptr) *external = nullptr;
  return S_FALSE;
}

STDMETHODIMP IDocHostUIHandlerImpl::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) {
  if (translated != nullptr) *translated = nullptr;
  return S_FALSE;
}

STDMETHODIMP IDocHostUIHandlerImpl::FilterDataObject(IDataObject*, IDataObject** filtered) {
  if (filtered != nullptr) *filtered = nullptr;
  return S_FALSE;
}

}  // namespace WebWindow
