#include "update_check.h"

namespace velko::updater {

std::string MakeUpdateCheckUrl(std::string_view service_base_url) {
  while (!service_base_url.empty() && service_base_url.back() == '/') {
    service_base_url.remove_suffix(1);
  }
  return std::string(service_base_url) + "/velko_browser_update/getinfo";
}

UpdateAnswer AskUpdateService(const std::string& check_url, const std::string& browser_version,
                              const std::string& system_version, HttpTransferLimits limits,
                              UpdateAnswerPolicy policy) {
  if (IsHttpsUrl(check_url)) {
    limits.https_only = true;
    policy.https_only = true;
  }
  HttpClient client({}, limits);
  return DecideUpdateAnswer(
      client.Get(check_url, {{"bv", browser_version}, {"os", system_version}}), policy);
}

UpdateCheckResult RunUpdateAttempts(const std::function<UpdateAnswer()>& ask,
                                    const std::function<void(std::uint32_t)>& wait,
                                    int max_attempts, std::uint32_t retry_wait_ms) {
  UpdateCheckResult result;
  for (int attempt = 1; attempt <= max_attempts; ++attempt) {
    result.attempts = attempt;
    UpdateAnswer answer = ask();
    if (answer.kind != UpdateAnswerKind::kFailedAttempt) {
      result.kind = answer.kind;
      result.package_url = std::move(answer.package_url);
      result.integrity = answer.integrity;
      return result;
    }
    wait(retry_wait_ms);
  }
  return result;
}

}  // namespace velko::updater
