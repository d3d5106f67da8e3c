// `uilibtool tree SKIN.xml WINDOW_ID`.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

class CUILibImpl;

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

// Loads a skin file into the library for one of the tool's commands; on failure the
// result to report (exit code and message).
std::optional<TreeResult> LoadSkinForCommand(CUILibImpl& lib, const std::filesystem::path& skin);

// The skin file's name as UTF-8, for messages.
std::string SkinName(const std::filesystem::path& skin);

// Loads the skin, builds the window's element tree and renders it as JSON.
// Diagnostic lines the library prints while parsing styles go to standard error.
TreeResult RunTree(const std::filesystem::path& skin, const std::string& window_id);

}  // namespace uilibtool
