#include "uilib/widgets/win/texture_image_win.h"

#include "uilib/download_record.h"
#include "uilib/text_util.h"

namespace uilib {
namespace {

// Picture files beyond these limits are refused unread (a remote server
// chooses what lands in the cache): the size a download of a picture may
// reach, and a side length.
constexpr unsigned long long kMaxPictureFileBytes = kDefaultMaxFileBytes;
constexpr UINT kMaxPictureSide = 8192;

TextureImagePtr FromFile(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    const unsigned long long bytes = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (bytes > kMaxPictureFileBytes) return nullptr;
  }
  auto image = std::make_unique<Gdiplus::Image>(path.c_str());
  if (image->GetLastStatus() != Gdiplus::Ok) return nullptr;
  if (image->GetWidth() == 0 || image->GetHeight() == 0 || image->GetWidth() > kMaxPictureSide ||
      image->GetHeight() > kMaxPictureSide) {
    return nullptr;
  }
  return AdoptImage(std::move(image));
}

}  // namespace

TextureImagePtr AdoptImage(std::unique_ptr<Gdiplus::Image> image) {
  if (image == nullptr) return nullptr;
  win::ImageRef ref;
  ref.image = image.get();
  ref.owned = std::move(image);
  return TextureImagePtr(new TextureImage(std::move(ref)));
}

TextureImagePtr LoadTextureReference(std::string_view value) {
  win::ImageRef ref = win::ResolveImageRef(value);
  if (ref) return TextureImagePtr(new TextureImage(std::move(ref)));
  return nullptr;
}

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
