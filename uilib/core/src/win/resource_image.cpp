#include "uilib/win/resource_image.h"

#include <cstring>

#include "uilib/library_state.h"
#include "uilib/resource_ref.h"
#include "uilib/text_util.h"

namespace uilib::win {
namespace {

// MAKEINTRESOURCE for a number, else the wide text (kept alive by `storage`).
LPCWSTR ResourceIdPointer(const ResourceId& id, std::wstring* storage) {
  if (id.number) return MAKEINTRESOURCEW(*id.number);
  *storage = Utf8ToWide(id.text);
  return storage->c_str();
}

HMODULE ModuleFor(const ResourceRef& ref) {
  if (ref.self) return SelfModule();
  // Modules named by references stay loaded: images from them may be asked again.
  return LoadLibraryExW(Utf8ToWide(ref.module).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

// A stream over a fixed global copy of the resource bytes; the stream frees
// the block when it is released.
IStream* StreamOverCopy(HMODULE module, HRSRC resource) {
  DWORD size = SizeofResource(module, resource);
  HGLOBAL loaded = LoadResource(module, resource);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return nullptr;
  HGLOBAL copy = GlobalAlloc(GMEM_FIXED, size);
  if (copy == nullptr) return nullptr;
  std::memcpy(reinterpret_cast<void*>(copy), bytes, size);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
    GlobalFree(copy);
    return nullptr;
  }
  return stream;
}

}  // namespace

void SetSelfModule(HMODULE module) { State().module = module; }

HMODULE SelfModule() { return State().module != nullptr ? State().module : GetModuleHandleW(nullptr); }

std::unique_ptr<Gdiplus::Image> LoadImageRef(std::string_view reference) {
  std::optional<ResourceRef> ref = ParseResourceRef(reference);
  if (!ref) return nullptr;
  HMODULE module = ModuleFor(*ref);
  if (module == nullptr) return nullptr;
  std::wstring name_storage, type_storage;
  HRSRC resource = FindResourceW(module, ResourceIdPointer(ref->name, &name_storage),
                                 ResourceIdPointer(ref->type, &type_storage));
  if (resource == nullptr) return nullptr;
  IStream* stream = StreamOverCopy(module, resource);
  if (stream == nullptr) return nullptr;
  auto image = std::make_unique<Gdiplus::Image>(stream);
  stream->Release();  // GDI+ holds its own reference while the image lives
  if (image->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return image;
}

ImageRef ResolveImageRef(std::string_view reference) {
  constexpr std::string_view kHandlePrefix = "handle::";
  ImageRef ref;
  if (StartsWithIgnoreCase(reference, kHandlePrefix)) {
    if (std::optional<std::uintptr_t> address = ParsePointerText(reference.substr(kHandlePrefix.size()))) {
      ref.image = reinterpret_cast<Gdiplus::Image*>(*address);
    }
    return ref;
  }
  ref.owned = LoadImageRef(reference);
  ref.image = ref.owned.get();
  return ref;
}

}  // namespace uilib::win
