// File, folder, process and text helpers of both programs (Windows only).
#pragma once

#ifndef _WIN32
#error "velko/file_utils.h is Windows-only; the portable helpers have their own headers"
#endif

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "velko/crc32.h"
#include "velko/download_naming.h"

namespace velko {

// Replaces every occurrence of a folder token ("CSIDL_LOCAL_APPDATA") in an
// 8-bit path in the thread's ANSI code page by the special folder's path,
// creating that folder if it is missing. The path has no trailing "\", so
// "CSIDL_LOCAL_APPDATA\commdl" becomes "<local app data>\commdl".
// Returns nullopt when a token's folder cannot be determined.
std::optional<std::wstring> TryExpandFolderTokens(std::string_view ansi_path);

// As above; when a folder cannot be determined its token is left in place
// (rather than replaced by nothing, which would turn the path into one below
// the drive's root). Null gives an empty string.
std::wstring ExpandFolderTokens(std::string_view ansi_path);
std::wstring ExpandFolderTokens(const char* ansi_path);

// Deletes the files (not folders, not recursively) of `folder` that were last
// written more than 48 hours ago. Files that cannot be deleted are left; a
// missing folder is nothing to do. Returns the number of files deleted.
int CleanStaleFiles(std::wstring_view folder);

// True when a running process's executable is `install_folder`\chrome.exe,
// compared case-insensitively. Processes whose modules cannot be listed (for
// example 64-bit ones seen from a 32-bit process) do not count.
bool IsBrowserRunning(std::wstring_view install_folder);

// CRC-32 of a file's contents, read in blocks of kCrcFileBlockBytes.
// 0 when the path is null, names no file, or the file cannot be read.
std::uint32_t FileCrc32(const wchar_t* path);
std::uint32_t FileCrc32(std::wstring_view path);

// Creates `path` and every missing parent folder. Returns true when the
// folder exists afterwards.
bool CreateDirectoryTree(std::wstring_view path);

// UTF-8 to UTF-16. Null gives an empty string; invalid sequences become
// U+FFFD.
std::wstring Utf8ToWide(const char* utf8);
std::wstring Utf8ToWide(std::string_view utf8);

// 8-bit text in the thread's ANSI code page to UTF-16.
std::wstring AnsiToWide(std::string_view ansi);

}  // namespace velko
