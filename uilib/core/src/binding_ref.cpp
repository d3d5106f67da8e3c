#include "uilib/binding_ref.h"

#include "uilib/iuilib.h"
#include "uilib/text_util.h"

namespace uilib {

const char* BoundName(const char* value) {
  if (value == nullptr || !StartsWithIgnoreCase(value, kBindingPrefix)) return nullptr;
  return value + kBindingPrefix.size();
}

void* FindBound(IUILib* lib, const char* value) {
  const char* name = BoundName(value);
  if (name == nullptr || lib == nullptr) return nullptr;
  return lib->FindHandler(name);
}

}  // namespace uilib
