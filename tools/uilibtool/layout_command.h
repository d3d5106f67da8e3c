// `uilibtool layout SKIN.xml WINDOW_ID [--size WxH]`.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "skin_command.h"

namespace uilibtool {

struct ClientSize {
  int width = 0;
  int height = 0;
};

// "608x322": two positive decimal numbers; nullopt otherwise.
std::optional<ClientSize> ParseClientSize(const std::string& text);

// Lays the window's tree out into the client size (default: the window's
// `width` and `height` attributes), with the library's diagnostics on
// standard error.
void LayOutWindow(CUILibWindow& window, std::optional<ClientSize> size);

// Loads the skin, builds the window's tree, lays it out into the client size
// (default: the window's `width` and `height` attributes) and renders the
// rectangles as JSON.
CommandResult RunLayout(const std::filesystem::path& skin, const std::string& window_id,
                     std::optional<ClientSize> size);

}  // namespace uilibtool
