// `uilibtool tree SKIN.xml WINDOW_ID`.
#pragma once

#include <filesystem>
#include <string>

#include "skin_command.h"

namespace uilibtool {

// Loads the skin, builds the window's element tree, lays it out at the
// window's size and renders it as JSON.
// Diagnostic lines the library prints while parsing styles go to standard error.
CommandResult RunTree(const std::filesystem::path& skin, const std::string& window_id);

}  // namespace uilibtool
