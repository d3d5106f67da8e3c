// Child windows of a layered skinned window. A window pushed with
// UpdateLayeredWindow shows only its surface, so the native controls that
// elements create inside it are printed into the surface, and each paint of
// such a control asks the window to repaint (and so print) the control again.
#pragma once

#include <windows.h>

namespace uilib::win {

// Prints the visible direct children of `parent` that meet `update` (client
// coordinates) into the 32-bit surface selected into `surface_dc`, opaque.
void PrintChildWindows(HWND parent, HDC surface_dc, const RECT& update);

// Watches `child` (a direct child of the layered window `parent`) and its
// own children: after each of their paints `parent` gets a repaint request
// for the child's rectangle. Does nothing for a parent that is not layered.
void MirrorChildPaints(HWND parent, HWND child);

}  // namespace uilib::win
