#include "velko/local_folder.h"

#include <windows.h>

#include <string>

#include "velko/path_text.h"

namespace velko {
namespace {

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool IsForbiddenCharacter(wchar_t c) {
  return c < 0x20 || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*' ||
         c == L':';
}

bool IsDotComponent(std::wstring_view component) {
  return component == L"." || component == L"..";
}

}  // namespace

bool IsLocalDrivePath(std::wstring_view path) {
  if (path.size() < 3 || !IsDriveLetter(path[0]) || path[1] != L':' || path[2] != L'\\') {
    return false;
  }
  std::size_t component_start = 3;
  for (std::size_t i = 3; i <= path.size(); ++i) {
    if (i == path.size() || IsPathSeparator(path[i])) {
      if (IsDotComponent(path.substr(component_start, i - component_start))) return false;
      component_start = i + 1;
      continue;
    }
    if (IsForbiddenCharacter(path[i])) return false;
  }
  return true;
}

bool HasReparsePointOnPath(std::wstring_view path) {
  // Walks "X:\a", "X:\a\b", ... The drive root itself is not a link.
  for (std::size_t i = 3; i <= path.size(); ++i) {
    if (i != path.size() && !IsPathSeparator(path[i])) continue;
    if (i > 0 && IsPathSeparator(path[i - 1])) continue;  // "\\" or a trailing separator
    const std::wstring prefix(path.substr(0, i));
    const DWORD attributes = ::GetFileAttributesW(prefix.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return true;
  }
  return false;
}

bool IsSafeLocalFolder(std::wstring_view path) {
  return IsLocalDrivePath(path) && !HasReparsePointOnPath(path);
}

}  // namespace velko
