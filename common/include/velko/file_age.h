// Age test of the download folder's clean-up, on Windows file times
// (100-nanosecond units since 1601, UTC).
#pragma once

#include <cstdint>

namespace velko {

inline constexpr std::int64_t kStaleFileAgeSeconds = 48 * 60 * 60;
inline constexpr std::uint64_t kFileTimeUnitsPerSecond = 10'000'000;

// True when a file last written at `write_time` is more than 48 hours older
// than `now` (both compared in whole seconds). A write time in the future
// (clock changes, files copied from elsewhere) never counts as stale.
constexpr bool IsStaleWriteTime(std::uint64_t now, std::uint64_t write_time) {
  const std::uint64_t now_s = now / kFileTimeUnitsPerSecond;
  const std::uint64_t write_s = write_time / kFileTimeUnitsPerSecond;
  if (write_s >= now_s) return false;
  return now_s - write_s > static_cast<std::uint64_t>(kStaleFileAgeSeconds);
}

}  // namespace velko
