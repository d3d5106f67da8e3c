// The update service's answer on arbitrary bodies: parsing as the HTTP client
// does, then the decision, which must never throw or accept a non-web URL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "update_answer.h"
#include "velko/http_client.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
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
  // The query encoding of the same bytes: three characters for every byte
  // that is not a letter or digit, and nothing else.
  const std::string encoded = velko::EncodeQueryValue(body);
  for (char c : encoded) {
    const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '%';
    if (!allowed) std::abort();
  }
  return 0;
}
