#include "layout_command.h"

#include <charconv>
#include <cstdio>
#include <tinyxml.h>

#include "layout_json.h"
#include "tree_command.h"
#include "stdout_redirect.h"
#include "uilib/error.h"
#include "uilib/uilib_impl.h"
#include "uilib/win/gdiplus_session.h"

namespace uilibtool {
namespace {

TreeResult Failure(ExitCode code, std::string message) { return {code, {}, std::move(message)}; }

bool ParsePositive(std::string_view text, int* value) {
  if (text.empty()) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size() && *value > 0;
}

// The window's own size attributes, 0 where absent.
ClientSize WindowAttributeSize(const CUILibElement& window) {
  ClientSize size;
  window.Xml()->QueryIntAttribute("width", &size.width);
  window.Xml()->QueryIntAttribute("height", &size.height);
  return size;
}

}  // namespace

std::optional<ClientSize> ParseClientSize(const std::string& text) {
  const size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return std::nullopt;
  ClientSize size;
  if (!ParsePositive(std::string_view(text).substr(0, x), &size.width)) return std::nullopt;
  if (!ParsePositive(std::string_view(text).substr(x + 1), &size.height)) return std::nullopt;
  return size;
}

TreeResult RunLayout(const std::filesystem::path& skin, const std::string& window_id,
                     std::optional<ClientSize> size) {
  uilib::win::GdiplusSession gdiplus;
  if (!gdiplus.Ok()) return Failure(kExitLibraryFailure, "GDI+ could not be started");
  CUILibImpl lib;
  const std::string skin_name = SkinName(skin);
  if (auto failure = LoadSkinForCommand(lib, skin)) return *failure;
  try {
    StdoutToStderr diagnostics;
    std::unique_ptr<CUILibWindow> window = lib.BuildWindowTree(window_id.c_str());
    if (!window) return Failure(kExitNoSuchWindow, "no window with id '" + window_id + "' in '" + skin_name + "'");
    const ClientSize client = size.value_or(WindowAttributeSize(*window));
    // Text is measured as the library measures outside a paint pass.
    window->Layout(uilib::RectF{0.0f, 0.0f, static_cast<float>(client.width), static_cast<float>(client.height)},
                   nullptr, nullptr);
    nlohmann::ordered_json tree = LayoutTreeToJson(*window);
    return {kExitOk, tree.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n", {}};
  } catch (const CAtlException& e) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(e.m_hr));
    return Failure(kExitLibraryFailure, std::string("the library failed with ") + code);
  }
}

}  // namespace uilibtool
