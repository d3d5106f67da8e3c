#include <windows.h>

#include <vector>

#include "velko/file_utils.h"
#include "velko/path_text.h"

namespace velko {
namespace {

bool FolderExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool CreateDirectoryTree(std::wstring_view path) {
  // Walk up to the first ancestor that exists, then create downwards. A loop
  // rather than recursion: path depth is bounded only by the path length.
  std::vector<std::wstring> missing;
  std::wstring current(path);
  while (!current.empty() && !PathExists(current)) {
    missing.push_back(current);
    current = ParentPath<wchar_t>(current);  // always shorter: the loop ends
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    CreateDirectoryW(it->c_str(), nullptr);  // failures show in the result below
  }
  return !path.empty() && FolderExists(std::wstring(path));
}

}  // namespace velko
