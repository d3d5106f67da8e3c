#pragma once
// The command line that starts a temporary copy of the updater in extract
// mode, and the name pattern of such copies.

#include <string>
#include <string_view>

namespace velko::updater {

inline constexpr wchar_t kSelfCopyPrefix[] = L"uper";
inline constexpr wchar_t kSelfCopyExtension[] = L".exe";
inline constexpr wchar_t kExtractSwitch[] = L"-Extra";

// "<copy path>" -Extra "<package path>", each path in double quotes so that
// blanks in either survive the split of the command line.
std::wstring SelfCopyCommandLine(std::wstring_view copy_path, std::wstring_view package_path);

// "<program path>" with no arguments: how the unpacked updater is started.
std::wstring QuotedProgramCommandLine(std::wstring_view program_path);

}  // namespace velko::updater
