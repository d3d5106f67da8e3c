// Reads a whole file for comparisons in the Windows tests.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace velko::test_support {

inline std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string out;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) out.append(buffer, read);
  ::CloseHandle(file);
  return out;
}

}  // namespace velko::test_support
