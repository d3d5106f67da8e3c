// Win32 handle and record types named by the public interfaces, declared without
// <windows.h>. The tags are the ones the Windows SDK uses (STRICT handles), so on
// Windows these pointers are exactly HWND, HINSTANCE/HMODULE, RECT*, HBITMAP and
// SCROLLINFO*/SCROLLBARINFO*; elsewhere they are opaque.
#pragma once

struct HWND__;
struct HINSTANCE__;
struct HBITMAP__;
struct tagRECT;
struct tagSCROLLINFO;
struct tagSCROLLBARINFO;

namespace Gdiplus {
class Image;
class Graphics;
}  // namespace Gdiplus

namespace uilib {
using NativeWindow = HWND__*;
using NativeModule = HINSTANCE__*;
using NativeBitmap = HBITMAP__*;
using NativeRect = tagRECT;
}  // namespace uilib
