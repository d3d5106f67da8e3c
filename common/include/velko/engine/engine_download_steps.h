// The three steps the updater's controller performs with the download engine:
// engine ready (load and initialise), start download, poll. The controller
// owns the wrapper, the task record and the task handle and keeps its own
// timer and messages; these functions do the engine work and say what
// happened.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "velko/engine/down_wrapper.h"
#include "velko/engine/engine_task_params.h"

namespace velko::engine {

inline constexpr const wchar_t* kEngineLoadFailureMessage =
    L"迅雷加速组件加载失败，请确保网络畅通再运行本程序。\r\n或者联系网站管理员，谢谢！";
inline constexpr const wchar_t* kEngineLoadFailureCaption = L"严重错误";
inline constexpr UINT kEngineLoadFailureBoxType = MB_SYSTEMMODAL;  // 0x1000, no owner

// The folder the engine saves downloads in, before token expansion.
inline constexpr const char* kDownloadFolderToken = "CSIDL_LOCAL_APPDATA\\commdl";

// The system-modal box telling the user that the engine could not be loaded.
void ShowEngineLoadFailureBox();

using EngineLoadFailureReport = void (*)();

// Engine ready: builds a wrapper on `dll_path` and calls XL_Init. When the
// library cannot be loaded, `report_failure` is called (the box, unless a test
// passes its own) and the result is null.
std::unique_ptr<DownWrapper> LoadDownloadEngine(
    const std::wstring& dll_path, EngineLoadFailureReport report_failure = ShowEngineLoadFailureBox);

// "CSIDL_LOCAL_APPDATA\commdl" expanded: the user's local application-data
// folder followed by commdl.
std::wstring DefaultDownloadFolder();

enum class StartDownloadResult {
  kStarted,         // a task exists and was started: poll it
  kNothingToStart,  // no URL, no wrapper, or a task already exists
  kNoTask,          // the engine created no task (or cannot create tasks)
  kUrlTooLong,      // the URL does not fit the record; nothing was started
  kFolderTooLong,   // the save folder does not fit the record
};

// Start download: replaces `params` with a fresh record for `url_utf8` and
// `save_folder`, deletes stale files (older than 48 hours) of the save folder,
// lets the engine delete its temporary file, creates the task into `task` and
// starts it. The caller starts its 50 ms poll timer on kStarted and ends the
// run on any other result but kNothingToStart.
StartDownloadResult StartDownloadTask(DownWrapper* wrapper, std::string_view url_utf8,
                                      const std::wstring& save_folder,
                                      std::unique_ptr<EngineTaskParams>& params,
                                      EngineTaskHandle& task);

struct PollStepResult {
  enum class Kind {
    kPending,   // still running, or the engine did not fill the record this time
    kFailed,    // the engine reported failure: stop polling, report failure_code
    kComplete,  // downloaded to package_path; the task was deleted and cleared
    kNoTask,    // nothing can ever be polled (no task, or no query entry point)
  };
  Kind kind = Kind::kPending;
  std::int32_t failure_code = 0;
  std::wstring package_path;
};

// Poll: one XL_QueryTaskInfoEx call for `task`. A failed task is left to the
// engine (not deleted); a completed one is deleted exactly once and `task`
// becomes null.
PollStepResult PollDownloadTask(DownWrapper& wrapper, EngineTaskHandle& task,
                                const EngineTaskParams& params);

}  // namespace velko::engine
