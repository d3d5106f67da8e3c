// Images named by references: "handle::%p" (a GDI+ image of the client) and
// res(module,name,type).
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

// An image found by a reference: either the client's own image, returned
// unchanged and never freed by the library, or one the loader created.
struct ImageRef {
  Gdiplus::Image* image = nullptr;
  std::unique_ptr<Gdiplus::Image> owned;
  explicit operator bool() const { return image != nullptr; }
};

// "handle::" (any case) followed by a "%p" pointer gives that image; then the
// resource form as LoadImageRef. Anything else gives no image.
ImageRef ResolveImageRef(std::string_view reference);

}  // namespace uilib::win
