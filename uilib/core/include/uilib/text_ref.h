// Text references of the skin language: "string::KEY" asks the library's text
// provider for the text of KEY; any other value (or any value when there is
// no provider) is the text itself, converted from UTF-8.
#pragma once

#include <string>
#include <string_view>

class IUILib;

namespace uilib {

std::wstring ResolveText(IUILib* lib, std::string_view reference);

}  // namespace uilib
