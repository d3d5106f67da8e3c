// Bindings of the skin language: an attribute value "uilib::NAME" (prefix in
// any case) names a handler or item provider that the client registered with
// the library under NAME (compared case-sensitively). The one parser of that
// form: event attributes, `provider`, the window's bindings and the tools all
// read bindings through it.
#pragma once

#include <string_view>

class IUILib;

namespace uilib {

inline constexpr std::string_view kBindingPrefix = "uilib::";

// The NAME of a "uilib::NAME" value, zero-terminated inside `value`; null for
// a null value or one without the prefix.
const char* BoundName(const char* value);

// The object registered under the NAME that `value` binds, or null (no
// binding, no library, or nothing registered under that name).
void* FindBound(IUILib* lib, const char* value);

}  // namespace uilib
