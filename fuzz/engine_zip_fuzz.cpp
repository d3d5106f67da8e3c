// The engine's ZIP package on arbitrary bytes, unpacked into memory within
// small caps: it must never crash, never hand out more than the caps allow,
// and never name a file outside the folder it would be written to.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "archive_entry_path.h"
#include "zip_extraction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velko::bootstrap::ZipLimits limits;
  limits.max_entry_bytes = 64 * 1024;
  limits.max_total_bytes = 96 * 1024;
  limits.max_entries = 16;
  const velko::bootstrap::UnpackedZip unpacked =
      velko::bootstrap::UnpackZipToMemory(data, size, limits);
  std::uint64_t total = 0;
  for (const velko::bootstrap::UnpackedZipFile& file : unpacked.files) {
    if (file.bytes.size() > limits.max_entry_bytes) std::abort();
    total += file.bytes.size();
    if (!velko::bootstrap::SafeArchiveEntryPath(std::string_view(file.relative_path))) std::abort();
  }
  if (total > limits.max_total_bytes) std::abort();
  if (unpacked.files.size() > static_cast<std::size_t>(limits.max_entries)) std::abort();
  return 0;
}
