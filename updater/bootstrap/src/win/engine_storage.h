// Where the download engine's files live and what they must hash to, as the
// engine configuration describes them, and the check that they are intact.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine_config.h"
#include "velko/file_digest.h"

namespace velko::bootstrap {

struct EngineFileExpectation {
  std::uint32_t crc = 0;
  std::optional<Sha256Digest> sha256;  // checked too when the configuration gives it
};

struct EngineStorage {
  std::wstring save_base;    // folder tokens expanded; a local drive folder
  std::wstring package_url;  // the engine's ZIP package
  // File name relative to the save base ("\" separators) -> what it must
  // hash to, in ordinal order.
  std::map<std::wstring, EngineFileExpectation> files;
};

// The configuration in Windows terms: the save base widened from the ANSI
// code page with its folder tokens expanded, URL and names from UTF-8. The
// first occurrence of a name wins. Null when the save base is not a local
// drive folder after expansion (empty, relative, a token that could not be
// expanded, a UNC or device path, a "." or ".." component), when a file name
// would leave the save base, or, with `require_hashes`, when a file has no
// "sha256" or xldl.dll is not listed.
std::unique_ptr<EngineStorage> MakeEngineStorage(const EngineConfig& config,
                                                 bool require_hashes = false);

// Parses a configuration document; null when it is rejected.
std::unique_ptr<EngineStorage> ParseEngineStorage(std::string_view document,
                                                  bool require_hashes = false);

// True when `digest` has the expected CRC-32 and, if one is expected, SHA-256.
bool MatchesExpectation(const FileDigest& digest, const EngineFileExpectation& expected);

// The engine files as they were checked, held open against changes (see
// HeldFile) until the engine has been loaded from them.
struct VerifiedEngine {
  std::vector<HeldFile> held;
  std::wstring library_path;  // save base\xldl.dll; empty when there is none

  bool has_library() const { return !library_path.empty(); }
};

// The save base is an existing folder and every listed file has its CRC-32
// and SHA-256 (a missing file counts as CRC 0 without a SHA-256; an empty
// list passes). Each file is hashed through a handle that is kept: what was
// checked cannot change until the result is dropped. xldl.dll is held too,
// listed or not. nullopt on any mismatch.
std::optional<VerifiedEngine> VerifyEngineFiles(const EngineStorage* storage);

// The save base joined with "\xldl.dll".
std::wstring EngineLibraryPath(const EngineStorage& storage);

}  // namespace velko::bootstrap
