#include <windows.h>
#include <shlobj.h>

#include <array>

#include "velko/file_utils.h"

namespace velko {
namespace {

struct FolderToken {
  std::wstring_view token;
  int csidl;  // special folder, created if missing
};

constexpr std::array<FolderToken, 1> kFolderTokens = {{
    {L"CSIDL_LOCAL_APPDATA", CSIDL_LOCAL_APPDATA},
}};

constexpr DWORD kSpecialFolderBufferChars = 1000;

std::optional<std::wstring> SpecialFolderPath(int csidl) {
  std::wstring buffer(kSpecialFolderBufferChars, L'\0');
  if (!SHGetSpecialFolderPathW(nullptr, buffer.data(), csidl, TRUE)) return std::nullopt;
  buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
  if (buffer.empty()) return std::nullopt;
  return buffer;
}

// Replaces every occurrence; the search goes on after each inserted value, so
// a value that itself contains the token cannot loop.
void ReplaceAll(std::wstring& text, std::wstring_view token, std::wstring_view value) {
  std::size_t pos = text.find(token);
  while (pos != std::wstring::npos) {
    text.replace(pos, token.size(), value);
    pos = text.find(token, pos + value.size());
  }
}

// Expands the tokens whose folders are known; returns false when some token
// was present but its folder could not be determined (that token stays).
bool ExpandKnownTokens(std::wstring& text) {
  bool all_expanded = true;
  for (const FolderToken& entry : kFolderTokens) {
    if (text.find(entry.token) == std::wstring::npos) continue;
    const std::optional<std::wstring> folder = SpecialFolderPath(entry.csidl);
    if (!folder) {
      all_expanded = false;
      continue;
    }
    ReplaceAll(text, entry.token, *folder);
  }
  return all_expanded;
}

}  // namespace

std::optional<std::wstring> TryExpandFolderTokens(std::string_view ansi_path) {
  std::wstring text = AnsiToWide(ansi_path);
  if (!ExpandKnownTokens(text)) return std::nullopt;
  return text;
}

std::wstring ExpandFolderTokens(std::string_view ansi_path) {
  std::wstring text = AnsiToWide(ansi_path);
  ExpandKnownTokens(text);
  return text;
}

std::wstring ExpandFolderTokens(const char* ansi_path) {
  return ansi_path == nullptr ? std::wstring() : ExpandFolderTokens(std::string_view(ansi_path));
}

}  // namespace velko
