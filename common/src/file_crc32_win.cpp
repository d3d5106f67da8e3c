#include <windows.h>

#include "velko/crc32_blocks.h"
#include "velko/file_utils.h"
#include "scoped_handle_win.h"

namespace velko {

std::uint32_t FileCrc32(const wchar_t* path) {
  if (path == nullptr || *path == L'\0') return 0;
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;

  ScopedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) return 0;

  auto read_block = [&file](unsigned char* buffer, std::size_t capacity) -> std::optional<std::size_t> {
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, static_cast<DWORD>(capacity), &read, nullptr)) {
      return std::nullopt;
    }
    return read;
  };
  return Crc32OfBlocks(read_block).value_or(0);
}

std::uint32_t FileCrc32(std::wstring_view path) {
  const std::wstring terminated(path);
  return FileCrc32(terminated.c_str());
}

}  // namespace velko
