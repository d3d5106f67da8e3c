// Download naming on arbitrary UTF-16 input: no crash, no out-of-bounds read,
// and names that are always usable as a file name inside the download folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "velko/download_naming.h"
#include "velko/url_parts.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

bool IsNameSeparator(char16_t c) { return c == u'/' || c == u'\\' || c == u':'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string url;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    url.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  const velko::UrlParts parts = velko::SplitUrl(url);
  Require(parts.host.size() + parts.path.size() + parts.extra.size() <= url.size());

  const std::u16string extension = velko::MakeDownloadExtension(url);
  Require(!extension.empty() && extension[0] == u'.');
  const std::u16string base = velko::MakeDownloadBaseName(url);
  Require(!base.empty());
  Require(base.find_first_not_of(u'.') != std::u16string::npos);
  for (char16_t c : base + extension) {
    Require(!IsNameSeparator(c) && c != u'?' && c != u'#');
  }
  return 0;
}
