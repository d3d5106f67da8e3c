// The UnRAR library's plain extraction loop, shared by the baselines of the
// install benchmark: every entry of an opened archive written under a folder,
// folders skipped (their files create them), no name checks.
#pragma once

#include <windows.h>
#include <unrar/dll.hpp>

#include <memory>

namespace velko::installer::bench {

inline unsigned long long UnpackedSize(const RARHeaderDataEx& header) {
  return (static_cast<unsigned long long>(header.UnpSizeHigh) << 32) | header.UnpSize;
}

// Files written; `on_file` is called after each with the entry's unpacked size.
template <typename OnFile>
unsigned long long ExtractEveryEntry(HANDLE archive, wchar_t* dest_folder, OnFile on_file) {
  auto header = std::make_unique<RARHeaderDataEx>();
  unsigned long long files = 0;
  while (RARReadHeaderEx(archive, header.get()) == ERAR_SUCCESS) {
    const bool folder = (header->Flags & RHDF_DIRECTORY) != 0;
    RARProcessFileW(archive, folder ? RAR_SKIP : RAR_EXTRACT, dest_folder, nullptr);
    if (folder) continue;
    ++files;
    on_file(UnpackedSize(*header));
  }
  return files;
}

inline HANDLE OpenArchive(wchar_t* path, unsigned mode) {
  RAROpenArchiveDataEx open{};
  open.ArcNameW = path;
  open.OpenMode = mode;
  HANDLE archive = RAROpenArchiveEx(&open);
  if (archive != nullptr && open.OpenResult != ERAR_SUCCESS) {
    RARCloseArchive(archive);
    return nullptr;
  }
  return archive;
}

}  // namespace velko::installer::bench
