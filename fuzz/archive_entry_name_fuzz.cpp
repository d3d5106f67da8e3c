// Archive entry-name check on arbitrary bytes: a name judged safe must stay
// below the folder when resolved the way Windows resolves components
// (trailing dots and blanks stripped, "." ignored, ".." going up), and the
// 8-bit and UTF-16 checks must agree on ASCII names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "velko/archive_entry_name.h"

namespace {

// Depth below the folder after resolving; negative means it left the folder.
int ResolvedDepth(std::string_view name) {
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && name[i] != '\\' && name[i] != '/') continue;
    std::string_view component = name.substr(start, i - start);
    start = i + 1;
    while (!component.empty() && (component.back() == '.' || component.back() == ' ')) {
      if (component == "." || component == "..") break;
      component.remove_suffix(1);
    }
    if (component.empty() || component == ".") continue;
    depth += component == ".." ? -1 : 1;
    if (depth < 0) return depth;
  }
  return depth;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view name(reinterpret_cast<const char*>(data), size);
  const bool safe = velko::IsSafeArchiveEntryName(name);
  if (safe) {
    if (ResolvedDepth(name) < 0 || name.find(':') != std::string_view::npos || name.front() == '\\' ||
        name.front() == '/') {
      std::abort();
    }
  }
  bool ascii = true;
  for (unsigned char c : name) ascii = ascii && c < 0x80;
  if (ascii) {
    const std::u16string wide(name.begin(), name.end());
    if (velko::IsSafeArchiveEntryName(std::u16string_view(wide)) != safe) std::abort();
  }
  return 0;
}
