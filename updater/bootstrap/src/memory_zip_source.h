// A ZIP archive held in memory, read by minizip through our own I/O functions
// (minizip 1.1 has no memory I/O of its own). No temporary file is written.
#pragma once

#include <minizip/ioapi.h>

#include <cstddef>
#include <cstdint>

namespace velko::bootstrap {

struct MemoryZipSource {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  std::uint64_t position = 0;  // may lie beyond the end after a seek; reads then give nothing
};

// I/O functions over `source`, for unzOpen2_64. Reads copy at most the bytes
// that remain and advance the position; seeks are from the start, the current
// position or the end (size plus offset); writes report the requested length
// without writing; close and error do nothing. `source` must outlive the
// archive handle.
zlib_filefunc64_def MakeMemoryZipFileFuncs(MemoryZipSource* source);

}  // namespace velko::bootstrap
