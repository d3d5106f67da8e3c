#include "velko/engine/engine_download_steps.h"

#include "velko/engine/engine_task_records.h"
#include "velko/file_utils.h"
#include "velko/wide_text.h"

namespace velko::engine {

void ShowEngineLoadFailureBox() {
  ::MessageBoxW(nullptr, kEngineLoadFailureMessage, kEngineLoadFailureCaption,
                kEngineLoadFailureBoxType);
}

std::unique_ptr<DownWrapper> LoadDownloadEngine(const std::wstring& dll_path,
                                                EngineLoadFailureReport report_failure) {
  std::unique_ptr<DownWrapper> wrapper;
  try {
    wrapper = std::make_unique<DownWrapper>(dll_path);
  } catch (...) {
    // The wrapper throws its text; anything else thrown while loading (the
    // allocation, say) means the same to the user.
    if (report_failure != nullptr) report_failure();
    return nullptr;
  }
  if (wrapper->XL_Init != nullptr) wrapper->XL_Init();
  return wrapper;
}

std::wstring DefaultDownloadFolder() { return ExpandFolderTokens(kDownloadFolderToken); }

StartDownloadResult StartDownloadTask(DownWrapper* wrapper, std::string_view url_utf8,
                                      const std::wstring& save_folder,
                                      std::unique_ptr<EngineTaskParams>& params,
                                      EngineTaskHandle& task) {
  if (wrapper == nullptr || url_utf8.empty() || task != nullptr) {
    return StartDownloadResult::kNothingToStart;
  }
  params = MakeEngineTaskParams();
  const FillTaskResult filled =
      FillDownloadTaskParams(*params, ToU16(Utf8ToWide(url_utf8)), ToU16(save_folder));
  if (filled == FillTaskResult::kUrlTooLong) return StartDownloadResult::kUrlTooLong;
  if (filled == FillTaskResult::kFolderTooLong) return StartDownloadResult::kFolderTooLong;

  CleanStaleFiles(save_folder);
  if (wrapper->XL_DelTempFile != nullptr) wrapper->XL_DelTempFile(params.get());
  task = wrapper->XL_CreateTask != nullptr ? wrapper->XL_CreateTask(params.get()) : nullptr;
  if (task == nullptr) return StartDownloadResult::kNoTask;
  if (wrapper->XL_StartTask != nullptr) wrapper->XL_StartTask(task);
  return StartDownloadResult::kStarted;
}

PollStepResult PollDownloadTask(DownWrapper& wrapper, EngineTaskHandle& task,
                                const EngineTaskParams& params) {
  PollStepResult result;
  // Without a task or a way to query it, polling would go on forever.
  if (task == nullptr || wrapper.XL_QueryTaskInfoEx == nullptr) {
    result.kind = PollStepResult::Kind::kNoTask;
    return result;
  }
  EngineTaskInfo info;
  PrepareEngineTaskInfo(info);
  if (wrapper.XL_QueryTaskInfoEx(task, &info) == 0) return result;

  const TaskPollResult polled = InterpretTaskInfo(info);
  if (polled.kind == TaskPollResult::Kind::kFailed) {
    result.kind = PollStepResult::Kind::kFailed;
    result.failure_code = polled.failure_code;
  } else if (polled.kind == TaskPollResult::Kind::kComplete) {
    result.kind = PollStepResult::Kind::kComplete;
    result.package_path = ToWide(ComposePackagePath(params, polled.file_name));
    if (wrapper.XL_DeleteTask != nullptr) wrapper.XL_DeleteTask(task);
    task = nullptr;
  }
  return result;
}

}  // namespace velko::engine
