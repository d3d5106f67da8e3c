// The common controls library, loaded when the library first needs it (a
// tooltip, a child control, a subclassed window, an image list) instead of
// with the program. Under Wine, loading it at the start (with the theming
// library it pulls in) cost a program tens of milliseconds before its first
// window appeared, for controls a skin may never use.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace uilib::win {

// Loads the library and registers every common control class (flags 0x2FF)
// the first time; later calls only report whether that worked.
bool StartCommonControls();

// The library's functions of the same purpose; they start it when needed and
// fail (FALSE, null, -1, or the default window procedure) when it is missing.
BOOL SetSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
BOOL RemoveSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id);
LRESULT CallDefaultSubclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
HIMAGELIST CreateImageList(int width, int height, UINT flags, int initial, int grow);
int AddToImageList(HIMAGELIST list, HBITMAP image, HBITMAP mask);
BOOL DestroyImageList(HIMAGELIST list);

}  // namespace uilib::win
