#include "uilib/text_ref.h"

#include "uilib/iuilib.h"
#include "uilib/text_util.h"

namespace uilib {

std::wstring ResolveText(IUILib* lib, std::string_view reference) {
  constexpr std::string_view kPrefix = "string::";
  IUILibTextProvider* provider = lib != nullptr ? lib->GetTextProvider() : nullptr;
  if (provider == nullptr || !StartsWithIgnoreCase(reference, kPrefix)) return Utf8ToWide(reference);
  std::wstring text;
  // The key is handed over zero-terminated.
  std::string key(reference.substr(kPrefix.size()));
  provider->GetText(text, key.c_str());
  return text;
}

}  // namespace uilib
