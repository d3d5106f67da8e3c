#include "velko/engine/engine_task_records.h"

#include <cstring>

namespace velko::engine {

std::unique_ptr<EngineTaskParams> MakeEngineTaskParams() {
  auto params = std::make_unique<EngineTaskParams>();
  std::memset(params.get(), 0, sizeof(EngineTaskParams));
  params->constant_five = 5;
  params->constant_one = 1;
  return params;
}

bool CopyTaskText(char16_t* field, std::size_t field_units, std::u16string_view text) {
  std::memset(field, 0, field_units * sizeof(char16_t));
  if (text.size() >= field_units) return false;
  std::memcpy(field, text.data(), text.size() * sizeof(char16_t));
  return true;
}

std::u16string TaskText(const char16_t* field, std::size_t field_units) {
  std::size_t length = 0;
  while (length < field_units && field[length] != u'\0') ++length;
  return std::u16string(field, length);
}

FillTaskResult FillDownloadTaskParams(EngineTaskParams& params, std::u16string_view url,
                                      std::u16string_view save_folder) {
  if (!CopyTaskText(params.task_url, url)) return FillTaskResult::kUrlTooLong;
  if (!CopyTaskText(params.save_folder, save_folder)) return FillTaskResult::kFolderTooLong;
  params.start_flag = 1;
  // The engine is told the whole URL as the save name and reports the name it
  // saved under; a name that does not fit is cut, which only loses a hint.
  if (!CopyTaskText(params.save_file_name, url)) {
    CopyTaskText(params.save_file_name, url.substr(0, kTaskNameUnits - 1));
  }
  params.constant_one = 1;
  return FillTaskResult::kFilled;
}

void PrepareEngineTaskInfo(EngineTaskInfo& info) {
  std::memset(&info, 0, sizeof(info));
  info.status = kTaskQueryPending;
}

TaskPollResult InterpretTaskInfo(const EngineTaskInfo& info) {
  TaskPollResult result;
  if (info.status == kTaskFailed) {
    result.kind = TaskPollResult::Kind::kFailed;
    result.failure_code = info.failure_code;
  } else if (info.status == kTaskComplete) {
    // The record is packed: copy the name out rather than bind to it.
    char16_t name[kTaskNameUnits];
    std::memcpy(name, reinterpret_cast<const unsigned char*>(&info) + offsetof(EngineTaskInfo, file_name),
                sizeof(name));
    result.kind = TaskPollResult::Kind::kComplete;
    result.file_name = TaskText(name);
  }
  return result;
}

std::u16string ComposePackagePath(const EngineTaskParams& params, std::u16string_view file_name) {
  const std::u16string folder = TaskText(params.save_folder);
  std::u16string path = folder;
  path.push_back(u'\\');
  path.append(file_name);
  return path;
}

}  // namespace velko::engine
