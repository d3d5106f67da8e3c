#include <windows.h>

#include <vector>

#include "velko/file_age.h"
#include "velko/file_utils.h"
#include "velko/local_folder.h"
#include "velko/path_text.h"

namespace velko {
namespace {

std::uint64_t ToUint64(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool IsDotEntry(const wchar_t* name) {
  return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

// Full paths of the folder's stale files. Collected first and deleted only
// after the enumeration has ended, so that deleting cannot disturb it.
std::vector<std::wstring> FindStaleFiles(std::wstring_view folder, std::uint64_t now) {
  std::vector<std::wstring> stale;
  const std::wstring pattern = JoinPath<wchar_t>(folder, L"*.*");
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return stale;
  do {
    // Folders are not descended into; links are left alone whatever they
    // point at.
    if (IsDotEntry(data.cFileName) ||
        (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
      continue;
    }
    if (IsStaleWriteTime(now, ToUint64(data.ftLastWriteTime))) {
      stale.push_back(JoinPath<wchar_t>(folder, data.cFileName));
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return stale;
}

}  // namespace

int CleanStaleFiles(std::wstring_view folder) {
  if (folder.empty()) return 0;  // "\*.*" would be the drive's root
  // The folder lies below the user's own folders: a junction planted on the
  // way would turn this elevated clean-up on files elsewhere (the system
  // folder, say). Only a local folder reached without links is cleaned.
  if (!IsSafeLocalFolder(folder)) return 0;
  FILETIME now_time;
  GetSystemTimeAsFileTime(&now_time);
  int deleted = 0;
  for (const std::wstring& path : FindStaleFiles(folder, ToUint64(now_time))) {
    if (DeleteFileW(path.c_str())) ++deleted;  // files in use stay
  }
  return deleted;
}

}  // namespace velko
