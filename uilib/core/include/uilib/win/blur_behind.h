// Desktop Window Manager blur behind a window, looked up at run time in the
// already loaded dwmapi.dll; silently skipped where it is not available.
#pragma once

#include <windows.h>

namespace uilib::win {

// Enables blur behind `window`, limited to `region` when one is given.
// False when the DWM function is not available or fails.
bool EnableBlurBehind(HWND window, HRGN region);

}  // namespace uilib::win
