#include "task_update_check.h"

#include "exit_codes.h"
#include "install_info.h"
#include "scheduled_task.h"
#include "update_check.h"
#include "updater_settings.h"

namespace velko::updater {
namespace {

HttpTransferLimits UpdaterTransferLimits() {
  HttpTransferLimits limits;
  limits.connect_timeout_s = settings::kHttpConnectTimeoutS;
  limits.low_speed_time_s = settings::kHttpStallTimeoutS;
  limits.total_timeout_s = settings::kHttpTotalTimeoutS;
  limits.max_body_bytes = settings::kMaxUpdateAnswerBytes;
  return limits;
}

}  // namespace

std::optional<int> RunTaskUpdateCheck(CUpdateBrowserThread& controller) {
  const std::wstring folder = ReadInstallFolder();
  if (folder.empty()) {
    RemoveUpdateTask();
    return kExitFailure;
  }
  const std::wstring executable = folder + L"\\chrome.exe";
  if (!FileExists(executable)) {
    RemoveUpdateTask();
    return kExitFailure;
  }
  const std::string browser_version = WideToAnsi(ReadBrowserVersion(executable));
  const std::string system_version = ReadSystemVersionText();
  const std::string check_url = MakeUpdateCheckUrl(settings::kUpdateServiceUrl);
  const HttpTransferLimits limits = UpdaterTransferLimits();
  UpdateAnswerPolicy policy;
  policy.require_hashes = settings::kRequireHashes;

  const UpdateCheckResult result = RunUpdateAttempts(
      [&] { return AskUpdateService(check_url, browser_version, system_version, limits, policy); },
      [](std::uint32_t wait_ms) { ::Sleep(wait_ms); }, kMaxUpdateCheckAttempts,
      settings::kUpdateRetryWaitMs);

  switch (result.kind) {
    case UpdateAnswerKind::kNoUpdate:
      return kExitSuccess;
    case UpdateAnswerKind::kFailedAttempt:
      return kExitUpdateServiceUnavailable;
    case UpdateAnswerKind::kUpdate:
      break;
  }
  auto info = std::make_unique<UpdateInfo>();
  info->package_url = result.package_url;
  info->integrity = result.integrity;
  controller.SetUpdateInfo(std::move(info));
  return std::nullopt;
}

}  // namespace velko::updater
