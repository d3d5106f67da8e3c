// Unpacking the engine's ZIP package from memory into a folder.
#pragma once

#include <cstddef>
#include <string>

#include "zip_extraction.h"

namespace velko::bootstrap {

// Widened entry names ("\" separators) of an archive unpacked into memory.
std::wstring WideEntryName(const UnpackedZipFile& file);

// Writes the files of `unpacked` below `folder`, creating missing folders.
// Entry names are 8-bit text in the thread's ANSI code page; names that would
// leave the folder were skipped when unpacking. A folder or file on the way
// that is a reparse point (a junction or link planted there) is never
// written through: the file fails with kCannotCreate. Files written before a
// failure stay.
ZipExtractResult WriteUnpackedFiles(const UnpackedZip& unpacked, const std::wstring& folder);

// Unpacks in memory within `limits`, then writes as above: nothing reaches
// the disk from an archive that cannot be unpacked whole.
ZipExtractResult UnzipToFolder(const void* data, std::size_t size, const std::wstring& folder,
                               const ZipLimits& limits = {});

}  // namespace velko::bootstrap
