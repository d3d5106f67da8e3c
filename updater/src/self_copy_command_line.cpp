#include "self_copy_command_line.h"

namespace velko::updater {

namespace {

// One argument in double quotes as the command-line split reads it back:
// backslashes before the closing quote are doubled, or the last one would
// escape it ("C:\dir\" would swallow the rest of the line).
void AppendQuoted(std::wstring& line, std::wstring_view argument) {
  line += L'"';
  std::size_t trailing_backslashes = 0;
  for (const wchar_t c : argument) {
    trailing_backslashes = c == L'\\' ? trailing_backslashes + 1 : 0;
    line += c;
  }
  line.append(trailing_backslashes, L'\\');
  line += L'"';
}

}  // namespace

std::wstring SelfCopyCommandLine(std::wstring_view copy_path, std::wstring_view package_path) {
  std::wstring line = QuotedProgramCommandLine(copy_path);
  line += L' ';
  line += kExtractSwitch;
  line += L' ';
  AppendQuoted(line, package_path);
  return line;
}

std::wstring QuotedProgramCommandLine(std::wstring_view program_path) {
  std::wstring line;
  AppendQuoted(line, program_path);
  return line;
}

}  // namespace velko::updater
