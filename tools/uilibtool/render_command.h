// `uilibtool render SKIN.xml WINDOW_ID OUT.png`.
#pragma once

#include <filesystem>
#include <string>

#include "skin_command.h"

namespace uilibtool {

// Starts the library, creates the window as the programs do and saves the
// picture that its layered memory surface holds (the surface the screen is
// given) as a PNG file. A window that is not layered is painted into a
// surface of its client size by the same painter. A window with a `border`
// decoration is saved over its decoration, at the decoration's offset.
CommandResult RunRender(const std::filesystem::path& skin, const std::string& window_id,
                     const std::filesystem::path& png);

}  // namespace uilibtool
