// Images named by resource references: res(module,name,type).
#pragma once

#include <memory>
#include <string_view>

#include "uilib/win/gdiplus_include.h"

namespace uilib::win {

// The module that "self" names. Defaults to the process's executable.
void SetSelfModule(HMODULE module);
HMODULE SelfModule();

// Finds the resource, copies its bytes into a fixed global memory block owned
// by a stream, and creates a GDI+ image from the stream. Null when the text
// is not a resource reference, the module or resource is missing, or GDI+
// cannot decode the bytes. The caller owns the image.
std::unique_ptr<Gdiplus::Image> LoadImageRef(std::string_view reference);

}  // namespace uilib::win
