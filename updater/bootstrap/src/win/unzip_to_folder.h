// Unpacking the engine's ZIP package from memory into a folder.
#pragma once

#include <cstddef>
#include <string>

#include "zip_extraction.h"

namespace velko::bootstrap {

// Writes every file entry below `folder`, creating missing folders. Entry
// names are 8-bit text in the thread's ANSI code page; names that would leave
// the folder are skipped. Files written before a failure stay.
ZipExtractResult UnzipToFolder(const void* data, std::size_t size, const std::wstring& folder);

}  // namespace velko::bootstrap
