#include "uilib/widgets/win/rich_edit_ole_callback.h"

namespace uilib {
namespace {

// A compound file on a memory lock-bytes object that frees its memory when
// the last reference goes.
HRESULT NewMemoryStorage(IStorage** storage) {
  if (storage == nullptr) return E_INVALIDARG;
  *storage = nullptr;
  ILockBytes* bytes = nullptr;
  HRESULT hr = CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
  if (FAILED(hr)) return hr;
  hr = StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, storage);
  bytes->Release();  // the storage holds its own reference
  return hr;
}

}  // namespace

STDMETHODIMP RichEditOleCallback::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IRichEditOleCallback)) {
    *out = static_cast<IRichEditOleCallback*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP RichEditOleCallback::GetNewStorage(LPSTORAGE* storage) { return NewMemoryStorage(storage); }

STDMETHODIMP RichEditOleCallback::QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT*, DWORD, WINBOOL really, HGLOBAL) {
  IRichEditOle* rich_edit = *rich_edit_ole_;
  // Asked only whether the data would be taken: nothing is inserted yet.
  if (!really) return S_OK;
  if (rich_edit == nullptr || data == nullptr) return E_FAIL;
  IOleClientSite* site = nullptr;
  HRESULT hr = rich_edit->GetClientSite(&site);
  if (FAILED(hr)) return hr;
  IStorage* storage = nullptr;
  IOleObject* object = nullptr;
  hr = NewMemoryStorage(&storage);
  if (SUCCEEDED(hr)) {
    hr = OleCreateStaticFromData(data, IID_IOleObject, OLERENDER_DRAW, nullptr, site, storage,
                                 reinterpret_cast<void**>(&object));
  }
  if (SUCCEEDED(hr)) {
    REOBJECT record{};
    record.cbStruct = sizeof record;
    record.cp = REO_CP_SELECTION;
    object->GetUserClassID(&record.clsid);
    record.poleobj = object;
    record.pstg = storage;
    record.polesite = site;
    record.dvaspect = DVASPECT_CONTENT;
    record.dwFlags = REO_RESIZABLE;
    hr = rich_edit->InsertObject(&record);
  }
  if (object != nullptr) object->Release();
  if (storage != nullptr) storage->Release();
  site->Release();
  return hr;
}

}  // namespace uilib
