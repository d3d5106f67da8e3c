// The picture of a texture attribute: an image reference resolved by the
// library's image loader, or else an image file. Opaque here; the Windows side
// holds a GDI+ image (uilib/widgets/win/texture_image_win.h). Builds without
// GDI+ load nothing.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace uilib {

class TextureImage;
struct TextureImageDeleter {
  void operator()(TextureImage* image) const;
};
using TextureImagePtr = std::unique_ptr<TextureImage, TextureImageDeleter>;

// res(...) or handle:: through the image loader; anything else as a UTF-8 file
// path. Null when nothing loads or the image reports a failure.
TextureImagePtr LoadTextureImage(std::string_view value);

// res(...) or handle:: only (a placeholder such as `default-src`).
TextureImagePtr LoadTextureReference(std::string_view value);

// An image file (the local copy of a remote texture). Null on failure.
TextureImagePtr LoadTextureFile(const std::wstring& path);

}  // namespace uilib
