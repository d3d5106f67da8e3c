#include "save_file_name.h"

#include "velko/download_naming.h"

namespace velko::xldl {

bool IsPlainFileName(std::wstring_view name) {
  if (name.empty() || name == L"." || name == L"..") return false;
  for (const wchar_t c : name) {
    if (c < 0x20) return false;
    if (std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
  }
  // Windows drops trailing dots and blanks, which would make "a." and "a" one file.
  const wchar_t last = name.back();
  return last != L'.' && last != L' ';
}

std::wstring ResolveSaveFileName(std::wstring_view requested, std::wstring_view url) {
  if (IsPlainFileName(requested)) return std::wstring(requested);
  std::wstring name = MakeDownloadBaseName(url) + MakeDownloadExtension(url);
  if (!IsPlainFileName(name)) name = L"download.bin";
  return name;
}

std::wstring PartialFileName(std::wstring_view file_name) {
  return std::wstring(file_name) + L".part";
}

}  // namespace velko::xldl
