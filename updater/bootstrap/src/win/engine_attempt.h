// One attempt of the engine bootstrap: read the configuration, check the
// local engine files, and download and unpack the package when they are not
// intact.
#pragma once

#include <memory>
#include <string>

#include "engine_storage.h"

namespace velko::bootstrap {

inline constexpr char kEngineConfigPath[] = "/xl/cfg.xml";

enum class AttemptResult {
  kVerified,            // the files were intact: nothing downloaded
  kInstalled,           // the package was downloaded and unpacked, xldl.dll present
  kConfigUnavailable,   // transfer failed, status not 200, or content type without "xml"
  kConfigRejected,      // the document was not a valid configuration
  kPackageUnavailable,  // transfer failed, status not 200, or not application/octet-stream
  kUnpackFailed,
  kNoEngineLibrary,     // unpacked, but no xldl.dll in the save base
};

inline bool Succeeded(AttemptResult result) {
  return result == AttemptResult::kVerified || result == AttemptResult::kInstalled;
}

// Replaces `storage` with the configuration read in this attempt (null when
// none was read). `config_base_url` is scheme, host and port.
AttemptResult RunEngineAttempt(const std::string& config_base_url,
                               std::unique_ptr<EngineStorage>& storage);

}  // namespace velko::bootstrap
