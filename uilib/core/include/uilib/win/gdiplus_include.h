// GDI+ C++ wrapper headers of mingw-w64 need <windows.h> and <objidl.h> first.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
