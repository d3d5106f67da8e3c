#include "layout_command.h"

#include <charconv>
#include <tinyxml.h>

#include "layout_json.h"
#include "stdout_redirect.h"
#include "tree_json.h"
#include "uilib/uilib_impl.h"

namespace uilibtool {
namespace {

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

void LayOutWindow(CUILibWindow& window, std::optional<ClientSize> size) {
  const ClientSize client = size.value_or(WindowAttributeSize(window));
  StdoutToStderr diagnostics;
  // Text is measured as the library measures outside a paint pass.
  window.Layout(uilib::RectF{0.0f, 0.0f, static_cast<float>(client.width), static_cast<float>(client.height)}, nullptr,
                nullptr);
}

CommandResult RunLayout(const std::filesystem::path& skin, const std::string& window_id,
                        std::optional<ClientSize> size) {
  return RunOnSkinWindow(skin, window_id, LibraryStart::kGraphicsOnly, [size](const SkinWindowCommand& command) {
    CommandResult failure;
    std::unique_ptr<CUILibWindow> window = command.BuildTree(&failure);
    if (!window) return failure;
    LayOutWindow(*window, size);
    return CommandResult{kExitOk, JsonText(LayoutTreeToJson(*window)), {}};
  });
}

}  // namespace uilibtool
