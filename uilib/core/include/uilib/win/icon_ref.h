// Icons named by the `icon` and `iconbig` window attributes.
#pragma once

#include <windows.h>

#include <string_view>

namespace uilib::win {

// A resource reference gives LoadIcon of its module with its name (the type is
// ignored); any other text is the icon name passed to LoadIcon without a
// module. Null when the icon is not found.
HICON LoadIconRef(std::string_view reference);

}  // namespace uilib::win
