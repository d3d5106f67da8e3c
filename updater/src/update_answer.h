#pragma once
// What the update service's answer means for this run.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "velko/http_client.h"
#include "velko/sha256.h"

namespace velko::updater {

enum class UpdateAnswerKind {
  kFailedAttempt,  // ask again after the retry wait
  kNoUpdate,       // the browser is current: end the run
  kUpdate,         // package_url names the update package
};

// What the package must be, when the service says so ("update"."sha256",
// "update"."size"). Absent members leave the package unchecked.
struct PackageIntegrity {
  std::optional<Sha256Digest> sha256;
  std::optional<std::uint64_t> size;
};

struct UpdateAnswer {
  UpdateAnswerKind kind = UpdateAnswerKind::kFailedAttempt;
  std::string package_url;  // UTF-8, only for kUpdate
  PackageIntegrity integrity;  // only for kUpdate
};

struct UpdateAnswerPolicy {
  // Build option: an update without both "sha256" and "size" is refused.
  bool require_hashes = false;
  // The service was asked over https: the package must come that way too.
  bool https_only = false;
};

// Status 200 with a JSON object whose boolean "ok" is true is an answer;
// "update" absent, null, {} or [] means no update, an object with an http(s)
// "url" string means an update. "sha256" (64 hexadecimal digits) and "size"
// (a non-negative integer) are optional members of "update"; present but
// malformed, they make the answer a failed attempt. Everything else,
// malformed or of the wrong JSON type included, is a failed attempt.
UpdateAnswer DecideUpdateAnswer(const HttpResponse& response, const UpdateAnswerPolicy& policy = {});

// True for "http://..." and "https://..." (scheme in any letter case) with
// something after the "//".
bool IsWebAddress(std::string_view url);

}  // namespace velko::updater
