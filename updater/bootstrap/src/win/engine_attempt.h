// One attempt of the engine bootstrap: read the configuration, check the
// local engine files, and download and unpack the package when they are not
// intact.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "engine_storage.h"
#include "velko/http_client.h"
#include "zip_extraction.h"

namespace velko::bootstrap {

inline constexpr char kEngineConfigPath[] = "/xl/cfg.xml";

// The configuration is a few hundred bytes, the engine package a few
// megabytes; anything far beyond is refused before it is read whole.
inline constexpr std::size_t kMaxEngineConfigBytes = 64u * 1024u;
inline constexpr std::size_t kMaxEnginePackageBytes = 64u * 1024u * 1024u;

struct EngineAttemptOptions {
  // Scheme, host and port of the engine configuration. An https:// base
  // fetches the configuration over https only and requires an https package
  // address in it.
  std::string config_base_url;
  HttpTransferLimits limits;  // the body caps above are applied on top
  ZipLimits zip_limits;
  // Every listed file must carry "sha256", and xldl.dll must be listed.
  bool require_hashes = false;
};

enum class AttemptResult {
  kVerified,            // the files were intact: nothing downloaded
  kInstalled,           // the package was downloaded, checked and unpacked, xldl.dll present
  kConfigUnavailable,   // transfer failed, status not 200, or content type without "xml"
  kConfigRejected,      // the document was not a valid configuration
  kFolderUnsafe,        // the save base cannot be made a folder only administrators write to
  kPackageUnavailable,  // transfer failed, status not 200, or not application/octet-stream
  kUnpackFailed,        // not a ZIP archive, above the caps, or not writable
  kPackageMismatch,     // a listed file of the package lacks its CRC-32 or SHA-256
  kNoEngineLibrary,     // unpacked, but no xldl.dll in the save base
};

inline bool Succeeded(AttemptResult result) {
  return result == AttemptResult::kVerified || result == AttemptResult::kInstalled;
}

// Replaces `storage` with the configuration read in this attempt (null when
// none was read) and `verified` with the checked engine files, held open
// (only on success; without xldl.dll it names no library).
AttemptResult RunEngineAttempt(const EngineAttemptOptions& options,
                               std::unique_ptr<EngineStorage>& storage,
                               std::optional<VerifiedEngine>& verified);

}  // namespace velko::bootstrap
