// The web frame's host window: embeds the browser control in place at its
// creation and takes it down with the window.
#include "uilib/widgets/win/web_window.h"

namespace WebWindow {

CWebWindow::~CWebWindow() {
  if (IsWindow()) DestroyWindow();
}

HWND CWebWindow::CreateHost(HWND parent) {
  velko::window::WindowCreateParams params;
  params.parent = parent;
  params.rect = initial_;
  params.style = WS_CHILD | WS_VISIBLE;
  return Create(GetModuleHandleW(nullptr), params);
}

bool CWebWindow::ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_CREATE:
      result = OnCreate();
      return true;
    case WM_DESTROY:
      OnDestroy();
      return true;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) SetForegroundWindow(GetParent(hwnd));
      return true;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(hwnd, &paint);
      EndPaint(hwnd, &paint);
      return true;
    }
    case WM_CLOSE:
      // Hidden, not destroyed: the control stays alive for the next show.
      ShowWindow(hwnd, SW_HIDE);
      return true;
    case WM_ERASEBKGND:
      result = 1;
      return true;
    default:
      return false;
  }
}

LRESULT CWebWindow::OnCreate() {
  block_ = static_cast<OleSiteBlock*>(GlobalAlloc(GPTR, sizeof(OleSiteBlock)));
  // No exception may cross the window procedure: without the block the
  // window is not created, and the frame stays without a control.
  if (block_ == nullptr) return -1;
  block_->client_site = &client_site_;
  block_->in_place_site = &in_place_site_;
  block_->in_place_frame = &in_place_frame_;
  block_->window = hwnd();
  block_->ui_handler = &ui_handler_;
  Embed();
  return 0;
}

void CWebWindow::Embed() {
  IClassFactory* factory = nullptr;
  if (FAILED(CoGetClassObject(CLSID_WebBrowser, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, nullptr,
                              IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
    return;
  }
  IOleObject* object = nullptr;
  const HRESULT created = factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(&object));
  factory->Release();
  if (FAILED(created) || object == nullptr) return;
  block_->object = object;
  object->SetClientSite(&client_site_);
  if (FAILED(object->SetHostNames(L"My Host Name", nullptr))) return;
  OleSetContainedObject(object, TRUE);
  RECT rect = initial_;
  if (FAILED(object->DoVerb(OLEIVERB_SHOW, nullptr, &client_site_, -1, hwnd(), &rect))) return;
  if (FAILED(object->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_)))) {
    browser_ = nullptr;
    return;
  }
  if (sink_ != nullptr) sink_->Advise(browser_);
  browser_->put_Left(initial_.left);
  browser_->put_Top(initial_.top);
  browser_->put_Width(initial_.right - initial_.left);
  browser_->put_Height(initial_.bottom - initial_.top);
  browser_->put_Silent(VARIANT_TRUE);
}

void CWebWindow::OnDestroy() {
  if (sink_ != nullptr) sink_->Unadvise();
  if (browser_ != nullptr) {
    browser_->Release();
    browser_ = nullptr;
  }
  if (block_ != nullptr) {
    if (IOleObject* object = block_->object) {
      object->Close(OLECLOSE_NOSAVE);
      object->Release();
    }
    GlobalFree(block_);
    block_ = nullptr;
  }
}

}  // namespace WebWindow
