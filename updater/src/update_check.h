#pragma once
// Asking the update service whether a newer browser exists, with retries.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "update_answer.h"
#include "velko/http_client.h"

namespace velko::updater {

constexpr int kMaxUpdateCheckAttempts = 10;

// The service's base address followed by "/velko_browser_update/getinfo".
std::string MakeUpdateCheckUrl(std::string_view service_base_url);

// One attempt: a fresh client, GET with the query bv=...&os=..., decided.
// An https:// check URL makes the client https-only and requires an https
// package address in the answer.
UpdateAnswer AskUpdateService(const std::string& check_url, const std::string& browser_version,
                              const std::string& system_version, HttpTransferLimits limits,
                              UpdateAnswerPolicy policy = {});

struct UpdateCheckResult {
  // kFailedAttempt when every attempt failed.
  UpdateAnswerKind kind = UpdateAnswerKind::kFailedAttempt;
  std::string package_url;
  PackageIntegrity integrity;
  int attempts = 0;
};

// Calls `ask` up to `max_attempts` times. After each failed attempt, the
// last one included, `wait` is called with `retry_wait_ms`.
UpdateCheckResult RunUpdateAttempts(const std::function<UpdateAnswer()>& ask,
                                    const std::function<void(std::uint32_t)>& wait,
                                    int max_attempts, std::uint32_t retry_wait_ms);

}  // namespace velko::updater
