#include "unzip_to_folder.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "archive_entry_path.h"
#include "velko/file_utils.h"
#include "velko/local_folder.h"
#include "velko/path_text.h"

namespace velko::bootstrap {
namespace {

bool IsReparsePoint(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool WriteWholeFile(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, piece, &written, nullptr) || written != piece) {
      return false;
    }
    done += piece;
  }
  return true;
}

ZipExtractStatus WriteOne(const std::wstring& folder, const UnpackedZipFile& file) {
  // The folder stays UTF-16; only the entry name is widened, so a folder
  // outside the ANSI code page is not garbled on the way. Checked again as
  // the name Windows will see: widening must not have produced a separator,
  // drive or ".." of its own.
  const std::wstring wide_name = WideEntryName(file);
  const std::optional<std::wstring> safe = SafeArchiveEntryPath(std::wstring_view(wide_name));
  if (!safe) return ZipExtractStatus::kCannotCreate;
  const std::wstring destination = JoinPath<wchar_t>(folder, *safe);
  const std::wstring parent = ParentPath<wchar_t>(destination);
  if (!parent.empty() && ::GetFileAttributesW(parent.c_str()) == INVALID_FILE_ATTRIBUTES) {
    CreateDirectoryTree(parent);
  }
  if (HasReparsePointOnPath(parent) || IsReparsePoint(destination)) {
    return ZipExtractStatus::kCannotCreate;
  }
  const HANDLE handle = ::CreateFileW(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return ZipExtractStatus::kCannotCreate;
  const bool written = WriteWholeFile(handle, file.bytes);
  const bool closed = ::CloseHandle(handle) != FALSE;
  return written && closed ? ZipExtractStatus::kOk : ZipExtractStatus::kCannotWrite;
}

}  // namespace

std::wstring WideEntryName(const UnpackedZipFile& file) { return AnsiToWide(file.relative_path); }

ZipExtractResult WriteUnpackedFiles(const UnpackedZip& unpacked, const std::wstring& folder) {
  ZipExtractResult result = unpacked.result;
  result.files_written = 0;
  if (!result.ok()) return result;
  for (const UnpackedZipFile& file : unpacked.files) {
    result.status = WriteOne(folder, file);
    if (!result.ok()) return result;
    ++result.files_written;
  }
  return result;
}

ZipExtractResult UnzipToFolder(const void* data, std::size_t size, const std::wstring& folder,
                               const ZipLimits& limits) {
  return WriteUnpackedFiles(UnpackZipToMemory(data, size, limits), folder);
}

}  // namespace velko::bootstrap
