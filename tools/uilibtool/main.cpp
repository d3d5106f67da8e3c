// uilibtool: the skin designer's and tester's tool for UILib.
//   uilibtool tree SKIN.xml WINDOW_ID
//   uilibtool layout SKIN.xml WINDOW_ID [--size WxH]
//   uilibtool render SKIN.xml WINDOW_ID OUT.png
//   uilibtool show SKIN.xml WINDOW_ID
#include <cstdio>
#include <optional>
#include <string>
#include <windows.h>

#include "layout_command.h"
#include "render_command.h"
#include "show_command.h"
#include "skin_command.h"
#include "tree_command.h"

namespace {

constexpr char kUsage[] =
    "usage: uilibtool tree SKIN.xml WINDOW_ID\n"
    "       uilibtool layout SKIN.xml WINDOW_ID [--size WxH]\n"
    "       uilibtool render SKIN.xml WINDOW_ID OUT.png\n"
    "       uilibtool show SKIN.xml WINDOW_ID\n"
    "  tree     print the element tree of a window of the skin as JSON\n"
    "  layout   print each element's rect and visible rect {x, y, w, h} as JSON, laid out\n"
    "           into the client size WxH (default: the window's width and height)\n"
    "  render   paint the window as the screen gets it and save the picture as PNG\n"
    "  show     open the window and print \"EVENT ELEMENT-ID\" for each handler call\n";

std::string WideToUtf8(const wchar_t* text) {
  int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string utf8(static_cast<size_t>(length - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

int Usage() {
  std::fputs(kUsage, stderr);
  return uilibtool::kExitUsage;
}

int Report(const uilibtool::CommandResult& result) {
  if (result.code != uilibtool::kExitOk) {
    std::fprintf(stderr, "uilibtool: %s\n", result.error.c_str());
    return result.code;
  }
  std::fwrite(result.output.data(), 1, result.output.size(), stdout);
  return uilibtool::kExitOk;
}

int RunLayoutCommand(int argc, wchar_t** argv) {
  std::optional<uilibtool::ClientSize> size;
  if (argc == 6) {
    if (std::wstring(argv[4]) != L"--size") return Usage();
    size = uilibtool::ParseClientSize(WideToUtf8(argv[5]));
    if (!size) {
      std::fputs("uilibtool: --size takes WIDTHxHEIGHT with positive numbers\n", stderr);
      return uilibtool::kExitUsage;
    }
  } else if (argc != 4) {
    return Usage();
  }
  return Report(uilibtool::RunLayout(argv[2], WideToUtf8(argv[3]), size));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wstring(argv[1]) == L"layout") return RunLayoutCommand(argc, argv);
  if (argc == 5 && std::wstring(argv[1]) == L"render") {
    return Report(uilibtool::RunRender(argv[2], WideToUtf8(argv[3]), argv[4]));
  }
  if (argc == 4 && std::wstring(argv[1]) == L"show") return Report(uilibtool::RunShow(argv[2], WideToUtf8(argv[3])));
  if (argc != 4 || std::wstring(argv[1]) != L"tree") return Usage();
  return Report(uilibtool::RunTree(argv[2], WideToUtf8(argv[3])));
}
