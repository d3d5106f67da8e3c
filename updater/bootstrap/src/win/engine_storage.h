// Where the download engine's files live and what they must hash to, as the
// engine configuration describes them, and the check that they are intact.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "engine_config.h"

namespace velko::bootstrap {

struct EngineStorage {
  std::wstring save_base;    // folder tokens expanded
  std::wstring package_url;  // the engine's ZIP package
  // File name relative to the save base -> expected CRC-32, in ordinal order.
  std::map<std::wstring, std::uint32_t> files;
};

// The configuration in Windows terms: the save base widened from the ANSI
// code page with its folder tokens expanded, URL and names from UTF-8. The
// first occurrence of a name wins. Null when the save base is not an absolute
// folder after expansion (empty, relative, or a token that could not be
// expanded): the engine would otherwise land wherever the process happens to
// run.
std::unique_ptr<EngineStorage> MakeEngineStorage(const EngineConfig& config);

// Parses a configuration document; null when it is rejected.
std::unique_ptr<EngineStorage> ParseEngineStorage(std::string_view document);

// True when the save base is an existing folder and every listed file has its
// CRC-32 (a missing or unreadable file counts as CRC 0). An empty list passes.
bool VerifyEngineFiles(const EngineStorage* storage);

// The save base joined with "\xldl.dll".
std::wstring EngineLibraryPath(const EngineStorage& storage);

}  // namespace velko::bootstrap
