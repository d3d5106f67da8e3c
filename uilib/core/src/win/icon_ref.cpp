#include "uilib/win/icon_ref.h"

#include <string>

#include "uilib/resource_ref.h"
#include "uilib/text_util.h"
#include "uilib/win/resource_image.h"

namespace uilib::win {

HICON LoadIconRef(std::string_view reference) {
  std::optional<ResourceRef> ref = ParseResourceRef(reference);
  if (!ref) return LoadIconW(nullptr, Utf8ToWide(reference).c_str());
  HMODULE module = ref->self ? SelfModule()
                             : LoadLibraryExW(Utf8ToWide(ref->module).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return nullptr;
  if (ref->name.number) return LoadIconW(module, MAKEINTRESOURCEW(*ref->name.number));
  return LoadIconW(module, Utf8ToWide(ref->name.text).c_str());
}

}  // namespace uilib::win
