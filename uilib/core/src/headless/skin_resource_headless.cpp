// Builds without Win32 have no module resources: a skin can only come from a
// file or from memory there.
#include "uilib/uilib_impl.h"

int CUILibImpl::LoadSkinFromResource(uilib::NativeModule, const wchar_t*, const wchar_t*) { return 0; }
