// A stand-in for the system's web browser control, for tests: an in-process
// COM object registered in the test process's class table under the control's
// class id. It implements what a container uses (IOleObject,
// IOleInPlaceObject, IWebBrowser2's navigation and position members, the
// DWebBrowserEvents2 connection point), counts its references, and fires the
// control's events in the control's order when a test asks.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "web_browser_stubs.h"

namespace standin {

class StandInBrowser;

class EventPoint : public IConnectionPoint {
 public:
  explicit EventPoint(StandInBrowser* owner) : owner_(owner) {}
  virtual ~EventPoint() = default;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

  IDispatch* Sink() const { return sink_; }

 private:
  StandInBrowser* owner_;
  IDispatch* sink_ = nullptr;
};

class StandInBrowser : public WebBrowserStubs,
                       public IOleObject,
                       public IOleInPlaceObject,
                       public IConnectionPointContainer {
 public:
  StandInBrowser() : point_(this) {}
  virtual ~StandInBrowser() = default;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override { return --references_; }  // tests own the object
  // IDispatch of IWebBrowser2
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  // IWebBrowser2 members a container uses
  STDMETHODIMP Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override;
  STDMETHODIMP put_Left(LONG value) override { left = value; return S_OK; }
  STDMETHODIMP put_Top(LONG value) override { top = value; return S_OK; }
  STDMETHODIMP put_Width(LONG value) override { width = value; return S_OK; }
  STDMETHODIMP put_Height(LONG value) override { height = value; return S_OK; }
  STDMETHODIMP put_Silent(VARIANT_BOOL value) override { silent = value; return S_OK; }

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR container, LPCOLESTR) override;
  STDMETHODIMP Close(DWORD option) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, WINBOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  STDMETHODIMP Update() override { return E_NOTIMPL; }
  STDMETHODIMP IsUpToDate() override { return E_NOTIMPL; }
  STDMETHODIMP GetUserClassID(CLSID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
  STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHODIMP GetMiscStatus(DWORD, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleInPlaceObject
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT) override;
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

  // Events, fired as the control fires them; each returns the Cancel flag
  // the sink left.
  // A navigation that succeeds: BeforeNavigate2, NavigateComplete2, DocumentComplete.
  VARIANT_BOOL CompleteNavigation(const std::wstring& url);
  // A navigation that fails: BeforeNavigate2, NavigateError.
  VARIANT_BOOL FailNavigation(const std::wstring& url);
  // A link that asks for a new window: NewWindow3.
  VARIANT_BOOL RequestNewWindow(const std::wstring& url);

  ULONG references() const { return references_; }
  IDispatch* sink() const { return point_.Sink(); }
  IOleClientSite* site() const { return site_; }

  std::vector<std::wstring> navigations;
  std::wstring host_name;
  LONG left = -1, top = -1, width = -1, height = -1;
  VARIANT_BOOL silent = VARIANT_FALSE;
  bool shown = false;
  bool closed = false;
  HWND parent = nullptr;
  RECT object_rect{};

 private:
  // Invoke on the sink with `args` given in the event's declared order.
  void Fire(DISPID id, std::vector<VARIANTARG> args);

  ULONG references_ = 0;
  IOleClientSite* site_ = nullptr;
  EventPoint point_;
};

// The class object that hands out the one stand-in browser of a test.
class StandInFactory : public IClassFactory {
 public:
  explicit StandInFactory(StandInBrowser* browser) : browser_(browser) {}
  virtual ~StandInFactory() = default;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  STDMETHODIMP LockServer(WINBOOL) override { return S_OK; }

 private:
  StandInBrowser* browser_;
};

// Registers the factory under CLSID_WebBrowser in this process for the
// object's lifetime.
class ScopedRegistration {
 public:
  explicit ScopedRegistration(IClassFactory* factory);
  ~ScopedRegistration();
  bool Ok() const { return cookie_ != 0; }

 private:
  DWORD cookie_ = 0;
};

}  // namespace standin
