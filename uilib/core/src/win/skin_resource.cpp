// Loading the skin document from a module resource.
#include <windows.h>

#include "uilib/uilib_impl.h"

int CUILibImpl::LoadSkinFromResource(uilib::NativeModule module, const wchar_t* name, const wchar_t* type) {
  HRSRC resource = FindResourceW(module, name, type);
  if (resource == nullptr) return 0;
  HGLOBAL loaded = LoadResource(module, resource);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return 0;
  std::string_view text(static_cast<const char*>(bytes), SizeofResource(module, resource));
  return LoadSkinFromMemory(text) == uilib::SkinLoadResult::kOk ? 1 : 0;
}
