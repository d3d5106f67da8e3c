// Helpers of the Windows tests: scratch folders and files with chosen times.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velko::test_support {

// A fresh folder below the temporary folder, removed with its contents at
// the end of the test.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring Child(std::wstring_view name) const;

 private:
  std::wstring path_;
};

bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
bool WriteText(const std::wstring& path, std::string_view text);
bool Exists(const std::wstring& path);
bool IsFolder(const std::wstring& path);

// Sets the last-write time to now plus `offset_seconds` (negative: past).
bool SetWriteTimeFromNow(const std::wstring& path, std::int64_t offset_seconds);

// Folder of the running test executable.
std::wstring ExecutableFolder();

std::vector<unsigned char> PatternBytes(std::size_t count);

// Creates `link` as a junction (mount-point reparse point) to the folder
// `target` (a full path). False where the file system cannot (then the
// caller skips what it wanted to show).
bool MakeJunction(const std::wstring& link, const std::wstring& target);

}  // namespace velko::test_support
