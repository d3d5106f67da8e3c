// `uilibtool tree SKIN.xml WINDOW_ID`.
#pragma once

#include <filesystem>
#include <string>

namespace uilibtool {

enum ExitCode : int {
  kExitOk = 0,
  kExitUsage = 1,
  kExitSkinNotFound = 2,
  kExitBadSkin = 3,
  kExitNoSuchWindow = 4,
  kExitLibraryFailure = 5,
};

struct TreeResult {
  ExitCode code = kExitOk;
  std::string output;  // the JSON document on success
  std::string error;   // the message for standard error otherwise
};

// Loads the skin, builds the window's element tree and renders it as JSON.
// Diagnostic lines the library prints while parsing styles go to standard error.
TreeResult RunTree(const std::filesystem::path& skin, const std::string& window_id);

}  // namespace uilibtool
