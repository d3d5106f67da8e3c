#pragma once
// What the update service's answer means for this run.

#include <string>
#include <string_view>

#include "velko/http_client.h"

namespace velko::updater {

enum class UpdateAnswerKind {
  kFailedAttempt,  // ask again after the retry wait
  kNoUpdate,       // the browser is current: end the run
  kUpdate,         // package_url names the update package
};

struct UpdateAnswer {
  UpdateAnswerKind kind = UpdateAnswerKind::kFailedAttempt;
  std::string package_url;  // UTF-8, only for kUpdate
};

// Status 200 with a JSON object whose boolean "ok" is true is an answer;
// "update" absent, null, {} or [] means no update, an object with an http(s)
// "url" string means an update. Everything else, malformed or of the wrong
// JSON type included, is a failed attempt.
UpdateAnswer DecideUpdateAnswer(const HttpResponse& response);

// True for "http://..." and "https://..." (scheme in any letter case) with
// something after the "//".
bool IsWebAddress(std::string_view url);

}  // namespace velko::updater
