// The seventeen entry points of the reference download engine, exported by
// plain name through xldl.def. The six the updater calls work; the others
// accept their arguments and do nothing.
#include <winsock2.h>
#include <curl/curl.h>

#include <windows.h>

#include <cstring>
#include <mutex>

#include "engine_task.h"
#include "save_file_name.h"
#include "task_registry.h"
#include "velko/engine/engine_entry_points.h"
#include "velko/engine/engine_task_records.h"
#include "velko/path_text.h"
#include "velko/wide_text.h"

using velko::engine::EngineTaskHandle;
using velko::engine::EngineTaskInfo;
using velko::engine::EngineTaskParams;
using velko::xldl::EngineTask;
using velko::xldl::TaskRegistry;

namespace {

constexpr DWORD kDeleteWaitMs = 10000;

void InitTransferLibraryOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

std::wstring FieldText(const char16_t* field, std::size_t units) {
  return velko::ToWide(velko::engine::TaskText(field, units));
}

struct TaskTarget {
  std::wstring url;
  std::wstring folder;
  std::wstring file_name;
};

TaskTarget TargetOf(const EngineTaskParams& params) {
  TaskTarget target;
  target.url = FieldText(params.task_url, velko::engine::kTaskUrlUnits);
  target.folder = FieldText(params.save_folder, velko::engine::kTaskNameUnits);
  target.file_name = velko::xldl::ResolveSaveFileName(
      FieldText(params.save_file_name, velko::engine::kTaskNameUnits), target.url);
  return target;
}

}  // namespace

extern "C" {

std::int32_t VELKO_ENGINE_CALL XL_Init() {
  InitTransferLibraryOnce();
  return 1;
}

// Tasks and libcurl stay as they are: running downloads keep their own state.
std::int32_t VELKO_ENGINE_CALL XL_UnInit() { return 1; }

EngineTaskHandle VELKO_ENGINE_CALL XL_CreateTask(EngineTaskParams* params) {
  if (params == nullptr) return nullptr;
  InitTransferLibraryOnce();
  TaskTarget target = TargetOf(*params);
  if (target.url.empty() || target.folder.empty()) return nullptr;
  auto task = std::make_shared<EngineTask>(std::move(target.url), std::move(target.folder),
                                           std::move(target.file_name));
  return TaskRegistry::Instance().Add(std::move(task));
}

std::int32_t VELKO_ENGINE_CALL XL_StartTask(EngineTaskHandle handle) {
  const std::shared_ptr<EngineTask> task = TaskRegistry::Instance().Find(handle);
  return task != nullptr && task->Start() ? 1 : 0;
}

std::int32_t VELKO_ENGINE_CALL XL_StopTask(EngineTaskHandle handle) {
  const std::shared_ptr<EngineTask> task = TaskRegistry::Instance().Find(handle);
  if (task == nullptr) return 0;
  task->RequestStop();
  return 1;
}

std::int32_t VELKO_ENGINE_CALL XL_DeleteTask(EngineTaskHandle handle) {
  const std::shared_ptr<EngineTask> task = TaskRegistry::Instance().Remove(handle);
  if (task == nullptr) return 0;
  task->RequestStop();
  task->WaitForEnd(kDeleteWaitMs);
  return 1;
}

std::int32_t VELKO_ENGINE_CALL XL_QueryTaskInfoEx(EngineTaskHandle handle,
                                                                      EngineTaskInfo* info) {
  const std::shared_ptr<EngineTask> task = TaskRegistry::Instance().Find(handle);
  if (task == nullptr || info == nullptr) return 0;
  const velko::xldl::TaskSnapshot state = task->Snapshot();
  std::memset(info, 0, sizeof(*info));
  info->status = state.status;
  info->failure_code = state.failure_code;
  info->total_bytes = state.total_bytes;
  info->downloaded_bytes = state.downloaded_bytes;
  char16_t name[velko::engine::kTaskNameUnits];
  velko::engine::CopyTaskText(name, velko::ToU16(state.file_name));
  std::memcpy(reinterpret_cast<unsigned char*>(info) + offsetof(EngineTaskInfo, file_name), name,
              sizeof(name));
  return 1;
}

// The earlier form of the query; this engine fills nothing through it.
std::int32_t VELKO_ENGINE_CALL XL_QueryTaskInfo(EngineTaskHandle, void*) {
  return 0;
}

// Removes the partial file an interrupted earlier download of the same target
// left behind.
std::int32_t VELKO_ENGINE_CALL XL_DelTempFile(EngineTaskParams* params) {
  if (params == nullptr) return 0;
  const TaskTarget target = TargetOf(*params);
  if (target.folder.empty()) return 0;
  const std::wstring partial =
      velko::JoinPath<wchar_t>(target.folder, velko::xldl::PartialFileName(target.file_name));
  return ::DeleteFileW(partial.c_str()) ? 1 : 0;
}

void VELKO_ENGINE_CALL XL_SetSpeedLimit(std::int32_t) {}
void VELKO_ENGINE_CALL XL_SetUploadSpeedLimit(std::int32_t, std::int32_t) {}
std::int32_t VELKO_ENGINE_CALL XL_SetProxy(const void*) { return 0; }
void VELKO_ENGINE_CALL XL_SetUserAgent(const wchar_t*) {}

std::int32_t VELKO_ENGINE_CALL XL_GetFileSizeWithUrl(const wchar_t*,
                                                                         std::int64_t* size) {
  if (size != nullptr) *size = 0;
  return 0;
}

std::int32_t VELKO_ENGINE_CALL XL_ParseThunderPrivateUrl(const wchar_t*,
                                                                             wchar_t* out,
                                                                             std::int32_t units) {
  if (out != nullptr && units > 0) out[0] = L'\0';
  return 0;
}

std::int32_t VELKO_ENGINE_CALL XL_SetAdditionInfo(EngineTaskHandle,
                                                                      const void*, std::int32_t) {
  return 0;
}

std::int32_t VELKO_ENGINE_CALL XL_SetFileIdAndSize(EngineTaskHandle,
                                                                       const char*, std::int64_t) {
  return 0;
}

}  // extern "C"
