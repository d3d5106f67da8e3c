#include "uilib/widgets/win/texture_image_win.h"

#include "uilib/text_util.h"

namespace uilib {
namespace {

TextureImagePtr FromFile(const std::wstring& path) {
  auto image = std::make_unique<Gdiplus::Image>(path.c_str());
  if (image->GetLastStatus() != Gdiplus::Ok) return nullptr;
  win::ImageRef ref;
  ref.image = image.get();
  ref.owned = std::move(image);
  return TextureImagePtr(new TextureImage(std::move(ref)));
}

}  // namespace

void TextureImageDeleter::operator()(TextureImage* image) const { delete image; }

TextureImagePtr LoadTextureImage(std::string_view value) {
  if (value.empty()) return nullptr;
  win::ImageRef ref = win::ResolveImageRef(value);
  // The loader refuses images that fail to decode; a client's own image is
  // taken as it is.
  if (ref) return TextureImagePtr(new TextureImage(std::move(ref)));
  return FromFile(Utf8ToWide(value));
}

TextureImagePtr LoadTextureFile(const std::wstring& path) { return FromFile(path); }

}  // namespace uilib
