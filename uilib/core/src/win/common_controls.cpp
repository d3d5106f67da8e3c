#include "uilib/win/common_controls.h"

namespace uilib::win {
namespace {

// The functions used from the library, found by name once it is loaded. The
// program's manifest makes the load pick the version 6 library.
struct CommonControls {
  decltype(&::InitCommonControlsEx) init = nullptr;
  decltype(&::SetWindowSubclass) set_subclass = nullptr;
  decltype(&::RemoveWindowSubclass) remove_subclass = nullptr;
  decltype(&::DefSubclassProc) def_subclass = nullptr;
  decltype(&::ImageList_Create) create_list = nullptr;
  decltype(&::ImageList_Add) add_to_list = nullptr;
  decltype(&::ImageList_Destroy) destroy_list = nullptr;
  bool ok = false;
};

template <typename Function>
void Find(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

CommonControls Load() {
  CommonControls c;
  HMODULE module = LoadLibraryW(L"comctl32.dll");
  if (module == nullptr) return c;
  Find(module, "InitCommonControlsEx", c.init);
  Find(module, "SetWindowSubclass", c.set_subclass);
  Find(module, "RemoveWindowSubclass", c.remove_subclass);
  Find(module, "DefSubclassProc", c.def_subclass);
  Find(module, "ImageList_Create", c.create_list);
  Find(module, "ImageList_Add", c.add_to_list);
  Find(module, "ImageList_Destroy", c.destroy_list);
  if (c.init == nullptr) return c;
  INITCOMMONCONTROLSEX classes{sizeof(classes), 0x2FF};
  c.ok = c.init(&classes) != FALSE;
  return c;
}

// Loaded once, by whichever thread asks first; the library stays loaded.
const CommonControls& Library() {
  static const CommonControls loaded = Load();
  return loaded;
}

}  // namespace

bool StartCommonControls() { return Library().ok; }

BOOL SetSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
  const CommonControls& c = Library();
  return c.set_subclass != nullptr ? c.set_subclass(window, procedure, id, data) : FALSE;
}

BOOL RemoveSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
  const CommonControls& c = Library();
  return c.remove_subclass != nullptr ? c.remove_subclass(window, procedure, id) : FALSE;
}

LRESULT CallDefaultSubclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const CommonControls& c = Library();
  return c.def_subclass != nullptr ? c.def_subclass(window, message, wparam, lparam)
                                   : DefWindowProcW(window, message, wparam, lparam);
}

HIMAGELIST CreateImageList(int width, int height, UINT flags, int initial, int grow) {
  const CommonControls& c = Library();
  return c.create_list != nullptr ? c.create_list(width, height, flags, initial, grow) : nullptr;
}

int AddToImageList(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  const CommonControls& c = Library();
  return c.add_to_list != nullptr ? c.add_to_list(list, image, mask) : -1;
}

BOOL DestroyImageList(HIMAGELIST list) {
  const CommonControls& c = Library();
  return c.destroy_list != nullptr ? c.destroy_list(list) : FALSE;
}

}  // namespace uilib::win
