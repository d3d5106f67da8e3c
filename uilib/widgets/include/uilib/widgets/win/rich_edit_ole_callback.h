// The rich edit's OLE callback: new storages are compound files on memory
// lock-bytes, and pasted or dropped data becomes a static OLE object inserted
// at the selection.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <richole.h>

namespace uilib {

class RichEditOleCallback : public IRichEditOleCallback {
 public:
  // `rich_edit_ole` is the control's interface, read when data arrives (null
  // until the control gave it).
  explicit RichEditOleCallback(IRichEditOle** rich_edit_ole) : rich_edit_ole_(rich_edit_ole) {}
  virtual ~RichEditOleCallback() = default;

  // IUnknown: the object lives as long as its element; no reference count.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }

  STDMETHODIMP GetNewStorage(LPSTORAGE* storage) override;
  STDMETHODIMP GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*, LPOLEINPLACEFRAMEINFO) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP ShowContainerUI(WINBOOL) override { return E_NOTIMPL; }
  STDMETHODIMP QueryInsertObject(LPCLSID, LPSTORAGE, LONG) override { return S_OK; }
  STDMETHODIMP DeleteObject(LPOLEOBJECT) override { return E_NOTIMPL; }
  STDMETHODIMP QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT* format, DWORD reco, WINBOOL really,
                               HGLOBAL metafile) override;
  STDMETHODIMP ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetDragDropEffect(WINBOOL, DWORD, LPDWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*) override { return E_NOTIMPL; }

 private:
  IRichEditOle** rich_edit_ole_;
};

}  // namespace uilib
