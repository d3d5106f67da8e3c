#include "self_copy_command_line.h"

namespace velko::updater {

std::wstring SelfCopyCommandLine(std::wstring_view copy_path, std::wstring_view package_path) {
  std::wstring line = QuotedProgramCommandLine(copy_path);
  line += L' ';
  line += kExtractSwitch;
  line += L" \"";
  line += package_path;
  line += L'"';
  return line;
}

std::wstring QuotedProgramCommandLine(std::wstring_view program_path) {
  std::wstring line = L"\"";
  line += program_path;
  line += L'"';
  return line;
}

}  // namespace velko::updater
