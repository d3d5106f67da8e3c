// Compile-only: a download record keeps its fields in the documented order
// (completion routine first, the client value last of the documented ones),
// whatever the pointer size.
#include <cstddef>

#include "uilib/download_record.h"

namespace {
using uilib::DownloadRecord;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"  // standard containers make it non-standard-layout
constexpr std::size_t kOffsets[] = {
    offsetof(DownloadRecord, completion),   offsetof(DownloadRecord, transfer),
    offsetof(DownloadRecord, url),          offsetof(DownloadRecord, text),
    offsetof(DownloadRecord, content_type), offsetof(DownloadRecord, file),
    offsetof(DownloadRecord, final_path),   offsetof(DownloadRecord, temp_path),
    offsetof(DownloadRecord, owner),        offsetof(DownloadRecord, success),
    offsetof(DownloadRecord, client_value),
};
#pragma GCC diagnostic pop

constexpr bool Ascending() {
  for (std::size_t i = 1; i < std::size(kOffsets); ++i) {
    if (kOffsets[i] <= kOffsets[i - 1]) return false;
  }
  return true;
}
static_assert(kOffsets[0] == 0);
static_assert(Ascending(), "DownloadRecord fields out of their documented order");
// The client value carries a pointer-sized value through the transfer.
static_assert(sizeof(DownloadRecord::client_value) == sizeof(void*));
}  // namespace
