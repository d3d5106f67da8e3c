// `uilibtool show SKIN.xml WINDOW_ID`.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "skin_command.h"

class TiXmlElement;

namespace uilibtool {

// The handler names that event attributes ("on...") of the document bind
// with "uilib::NAME", each once, in document order. `provider` bindings name
// item providers, not handlers, and are left out.
std::vector<std::string> BoundHandlerNames(const TiXmlElement* root);

// Starts the library, registers a printing handler under every bound name,
// opens the window and runs the message loop until the window is destroyed.
// Prints "shown HWND x y w h" once the window is up and "EVENT ELEMENT-ID"
// for each handler call, each line flushed at once.
CommandResult RunShow(const std::filesystem::path& skin, const std::string& window_id);

}  // namespace uilibtool
