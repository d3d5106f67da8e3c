// The OLE container of the web frame: a host window that embeds the browser
// control (CLSID_WebBrowser) in place, the client site, in-place site,
// in-place frame and document UI handler it offers the control, and the sink
// of the control's DWebBrowserEvents2 notifications.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <ole2.h>

#include <vector>

#include "uilib/widgets/web_event_handler.h"
#include "velko/window/window_base.h"

namespace WebWindow {

class CWebBrowserEvents2 : public IDispatch {
 public:
  CWebBrowserEvents2() = default;
  virtual ~CWebBrowserEvents2();

  // Handlers are asked in the order they were added; not owned.
  void AddHandler(IEventHandler* handler) { handlers_.push_back(handler); }
  // Advises this sink on the browser's DWebBrowserEvents2 connection point,
  // keeping the cookie and a reference to the browser.
  HRESULT Advise(IWebBrowser2* browser);
  // Ends the advice and releases the browser.
  void Unadvise();
  bool HadError() const { return error_; }

  // IUnknown: the sink lives as long as its frame; no reference count.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 0; }
  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

 private:
  void OnBeforeNavigate(const DISPPARAMS& params);
  void OnDocumentComplete(const DISPPARAMS& params);
  void OnNavigateError(const DISPPARAMS& params);
  void OnNewWindow(const DISPPARAMS& params);

  DWORD cookie_ = 0;
  bool error_ = false;
  IWebBrowser2* browser_ = nullptr;
  std::vector<IEventHandler*> handlers_;
};

class CWebWindow;

// The pointers the control's container hands out, in one fixed block of
// global memory that lives until the host window is destroyed.
struct OleSiteBlock {
  IOleObject* object;
  IOleClientSite* client_site;
  IOleInPlaceSite* in_place_site;
  IOleInPlaceFrame* in_place_frame;
  HWND window;
  IDocHostUIHandler* ui_handler;
};

// The site objects keep no reference count: they live in their host window
// object. Each answers QueryInterface through the client site.
class IOleClientSiteImpl : public IOleClientSite {
 public:
  explicit IOleClientSiteImpl(CWebWindow* host) : host_(host) {}
  virtual ~IOleClientSiteImpl() = default;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer** container) override;
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(WINBOOL) override { return E_NOTIMPL; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

 private:
  CWebWindow* host_;
};

class IOleInPlaceSiteImpl : public IOleInPlaceSite {
 public:
  explicit IOleInPlaceSiteImpl(CWebWindow* host) : host_(host) {}
  virtual ~IOleInPlaceSiteImpl() = default;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  STDMETHODIMP Scroll(SIZE) override { return E_UNEXPECTED; }
  STDMETHODIMP OnUIDeactivate(WINBOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT position) override;

 private:
  CWebWindow* host_;
};

class IOleInPlaceFrameImpl : public IOleInPlaceFrame {
 public:
  explicit IOleInPlaceFrameImpl(CWebWindow* host) : host_(host) {}
  virtual ~IOleInPlaceFrameImpl() = default;
  STDMETHODIMP QueryInterface(REFIID, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetBorder(LPRECT) override { return E_NOTIMPL; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(WINBOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return E_NOTIMPL; }

 private:
  CWebWindow* host_;
};

// Turns off the control's borders, scroll bars, themes and context menu.
class IDocHostUIHandlerImpl : public IDocHostUIHandler {
 public:
  explicit IDocHostUIHandlerImpl(CWebWindow* host) : host_(host) {}
  virtual ~IDocHostUIHandlerImpl() = default;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
  STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
  STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                      IOleInPlaceUIWindow*) override {
    return S_OK;
  }
  STDMETHODIMP HideUI() override { return S_OK; }
  STDMETHODIMP UpdateUI() override { return S_OK; }
  STDMETHODIMP EnableModeless(WINBOOL) override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(WINBOOL) override { return S_OK; }
  STDMETHODIMP OnFrameWindowActivate(WINBOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
  STDMETHODIMP GetOptionKeyPath(LPOLESTR*, DWORD) override { return S_FALSE; }
  STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget**) override { return S_FALSE; }
  STDMETHODIMP GetExternal(IDispatch** external) override;
  STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override;
  STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** filtered) override;

 private:
  CWebWindow* host_;
};

class CWebWindow : public velko::window::WindowBase {
 public:
  // `sink` (not owned) is advised on the control when the window is created.
  CWebWindow(CWebBrowserEvents2* sink, const RECT& initial) : sink_(sink), initial_(initial) {}
  ~CWebWindow() override;

  // Creates the window as a child of `parent` at the initial rectangle,
  // visible; WM_CREATE embeds the control.
  HWND CreateHost(HWND parent);
  // The control's automation interface; null when embedding failed.
  IWebBrowser2* Browser() const { return browser_; }
  IOleObject* Object() const { return block_ != nullptr ? block_->object : nullptr; }
  const OleSiteBlock* SiteBlock() const { return block_; }

  IOleClientSite* ClientSite() { return &client_site_; }
  IOleInPlaceSite* InPlaceSite() { return &in_place_site_; }
  IOleInPlaceFrame* InPlaceFrame() { return &in_place_frame_; }
  IDocHostUIHandler* UiHandler() { return &ui_handler_; }

 protected:
  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
  const wchar_t* WindowClassName() const override { return L"UILibWebWindow"; }

 private:
  // -1 when the site block cannot be made; 0 otherwise (a control that does
  // not embed leaves an empty host window).
  LRESULT OnCreate();
  void Embed();
  void OnDestroy();

  CWebBrowserEvents2* sink_;
  RECT initial_;
  OleSiteBlock* block_ = nullptr;
  IWebBrowser2* browser_ = nullptr;
  IOleClientSiteImpl client_site_{this};
  IOleInPlaceSiteImpl in_place_site_{this};
  IOleInPlaceFrameImpl in_place_frame_{this};
  IDocHostUIHandlerImpl ui_handler_{this};
};

}  // namespace WebWindow
