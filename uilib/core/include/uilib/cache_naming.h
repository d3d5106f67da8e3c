// Names of the download cache: the folder "UILibTemp" in the user's temporary
// folder holds one file per URL, "res_<CRC>" plus the URL's extension, where
// CRC is the decimal CRC-32 of the URL's UTF-16LE code units. A transfer in
// progress writes to the cache name plus ".temp".
#pragma once

#include <string>
#include <string_view>

namespace uilib {

inline constexpr std::u16string_view kCacheFolderName = u"UILibTemp";
inline constexpr std::u16string_view kTempSuffix = u".temp";

// The extension of the URL's last path component, dot included: from its last
// "." up to the query or fragment. Empty when there is none, and when it holds
// a character that a file name cannot carry, so that the cache name is always
// a valid file name.
std::u16string UrlExtension(std::u16string_view url);

// "res_%u%s" of the URL's CRC and its extension.
std::u16string CacheFileName(std::u16string_view url);

}  // namespace uilib
