// The update service's answer on arbitrary bodies: parsing as the HTTP client
// does (within the answer's size cap), then the decision under both
// policies, which must never throw or accept a non-web URL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "update_answer.h"
#include "velko/http_client.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The client refuses larger answers before parsing them.
  if (size > 64 * 1024) return 0;
  const std::string body(reinterpret_cast<const char*>(data), size);
  velko::HttpResponse response;
  response.success = true;
  response.status_code = 200;
  response.content_type = "application/json";
  response.body = body;
  nlohmann::json parsed = nlohmann::json::parse(body, nullptr, false);
  response.json = parsed.is_discarded() ? nlohmann::json() : std::move(parsed);

  const velko::updater::UpdateAnswer answer = velko::updater::DecideUpdateAnswer(response);
  if (answer.kind == velko::updater::UpdateAnswerKind::kUpdate &&
      !velko::updater::IsWebAddress(answer.package_url)) {
    std::abort();
  }
  // The strict policy accepts only what the plain one accepts, and only
  // https packages with both a digest and a size.
  velko::updater::UpdateAnswerPolicy strict;
  strict.require_hashes = true;
  strict.https_only = true;
  const velko::updater::UpdateAnswer checked = velko::updater::DecideUpdateAnswer(response, strict);
  if (checked.kind == velko::updater::UpdateAnswerKind::kUpdate &&
      (answer.kind != velko::updater::UpdateAnswerKind::kUpdate ||
       !velko::IsHttpsUrl(checked.package_url) || !checked.integrity.sha256 ||
       !checked.integrity.size)) {
    std::abort();
  }
  // The query encoding of the same bytes: three characters for every byte
  // that is not a letter or digit, and nothing else.
  const std::string encoded = velko::EncodeQueryValue(body);
  for (char c : encoded) {
    const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '%';
    if (!allowed) std::abort();
  }
  return 0;
}
