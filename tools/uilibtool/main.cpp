// uilibtool: the skin designer's and tester's tool for UILib.
//   uilibtool tree SKIN.xml WINDOW_ID
#include <cstdio>
#include <string>
#include <windows.h>

#include "tree_command.h"

namespace {

constexpr char kUsage[] =
    "usage: uilibtool tree SKIN.xml WINDOW_ID\n"
    "  tree   print the element tree of a window of the skin as JSON\n";

std::string WideToUtf8(const wchar_t* text) {
  int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string utf8(static_cast<size_t>(length - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4 || std::wstring(argv[1]) != L"tree") {
    std::fputs(kUsage, stderr);
    return uilibtool::kExitUsage;
  }
  uilibtool::TreeResult result = uilibtool::RunTree(argv[2], WideToUtf8(argv[3]));
  if (result.code != uilibtool::kExitOk) {
    std::fprintf(stderr, "uilibtool: %s\n", result.error.c_str());
    return result.code;
  }
  std::fwrite(result.output.data(), 1, result.output.size(), stdout);
  return uilibtool::kExitOk;
}
