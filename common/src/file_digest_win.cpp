#include "velko/file_digest.h"

#include <utility>
#include <vector>

#include "velko/crc32.h"

namespace velko {

HeldFile::HeldFile(const std::wstring& path) : path_(path) {
  // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself instead of its target,
  // so that a link is seen and refused below rather than followed.
  handle_ = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) return;
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(handle_, &information) ||
      (information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    Close();
  }
}

HeldFile::~HeldFile() { Close(); }

HeldFile::HeldFile(HeldFile&& other) noexcept
    : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)), path_(std::move(other.path_)) {}

HeldFile& HeldFile::operator=(HeldFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    path_ = std::move(other.path_);
  }
  return *this;
}

void HeldFile::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

std::optional<FileDigest> HeldFile::Digest(std::uint64_t max_bytes) const {
  if (!valid()) return std::nullopt;
  return DigestOpenFile(handle_, max_bytes);
}

std::optional<FileDigest> DigestOpenFile(HANDLE file, std::uint64_t max_bytes) {
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return std::nullopt;
  FileDigest digest;
  Crc32 crc;
  Sha256 sha256;
  std::vector<unsigned char> block(kCrcFileBlockBytes);
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file, block.data(), static_cast<DWORD>(block.size()), &read, nullptr)) {
      return std::nullopt;
    }
    if (read == 0) break;
    digest.size += read;
    if (digest.size > max_bytes) return std::nullopt;
    crc.Update(block.data(), read);
    sha256.Update(block.data(), read);
  }
  digest.crc32 = crc.Value();
  digest.sha256 = sha256.Finish();
  return digest;
}

}  // namespace velko
