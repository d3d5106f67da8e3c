// The GDI+ image behind a texture: either one the loader created (owned) or a
// client's image named by "handle::" (never freed here).
#pragma once

#include "uilib/widgets/texture_image.h"
#include "uilib/win/resource_image.h"

namespace uilib {

class TextureImage {
 public:
  explicit TextureImage(win::ImageRef ref) : ref_(std::move(ref)) {}
  Gdiplus::Image* Get() const { return ref_.image; }
  float Width() const { return static_cast<float>(ref_.image->GetWidth()); }
  float Height() const { return static_cast<float>(ref_.image->GetHeight()); }

 private:
  win::ImageRef ref_;
};

// Takes ownership of a GDI+ image as a texture.
TextureImagePtr AdoptImage(std::unique_ptr<Gdiplus::Image> image);

// The image of a possibly empty texture pointer.
inline Gdiplus::Image* ImageOf(const TextureImagePtr& texture) { return texture ? texture->Get() : nullptr; }

}  // namespace uilib
