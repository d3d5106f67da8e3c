#include "uilib/win/cache_files.h"

#include <cstdio>
#include <random>

#include "velko/file_utils.h"

namespace uilib::win {
namespace {

constexpr int kTempNameAttempts = 8;

std::wstring RandomHex() {
  std::random_device random;
  wchar_t text[17] = {};
  std::swprintf(text, 17, L"%08x%08x", static_cast<unsigned>(random()), static_cast<unsigned>(random()));
  return text;
}

}  // namespace

bool IsFolderOrLink(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0;
}

bool IsPlainFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

bool PrepareCacheFolder(const std::wstring& folder) {
  if (folder.empty()) return false;
  velko::CreateDirectoryTree(folder);
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

ExclusiveFile CreateExclusiveTempFile(const std::wstring& final_path) {
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    ExclusiveFile file;
    file.path = final_path + L"." + RandomHex() + L".temp";
    // CREATE_NEW fails on any existing name, a link or junction included;
    // FILE_FLAG_OPEN_REPARSE_POINT keeps a link made in between from being
    // followed. No security attributes: the file gets the folder's.
    file.handle = CreateFileW(file.path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file.handle != INVALID_HANDLE_VALUE) return file;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return {};
}

}  // namespace uilib::win
