// Building and reading the download engine's task records: what the start
// step writes into EngineTaskParams and what a poll reads from EngineTaskInfo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "velko/engine/engine_task_info.h"
#include "velko/engine/engine_task_params.h"

namespace velko::engine {

// A fresh record: all zero except constant_five (5) and constant_one (1).
std::unique_ptr<EngineTaskParams> MakeEngineTaskParams();

// Writes `text` into a fixed field and NUL-terminates it; the rest of the
// field is zeroed. False (and an empty field) when the text and its NUL do not
// fit: a cut URL or folder would name something else.
bool CopyTaskText(char16_t* field, std::size_t field_units, std::u16string_view text);

template <std::size_t N>
bool CopyTaskText(char16_t (&field)[N], std::u16string_view text) {
  return CopyTaskText(field, N, text);
}

// The text of a field up to its NUL, or the whole field when it has none.
std::u16string TaskText(const char16_t* field, std::size_t field_units);

template <std::size_t N>
std::u16string TaskText(const char16_t (&field)[N]) {
  return TaskText(field, N);
}

enum class FillTaskResult {
  kFilled,
  kUrlTooLong,     // more than 2083 units
  kFolderTooLong,  // more than 259 units
};

// Fills a fresh record for a download of `url` into `save_folder`: the task
// URL, the save folder, the save-file name (the whole URL, cut to 259 units;
// the engine reports the name it actually used) and the start flag.
FillTaskResult FillDownloadTaskParams(EngineTaskParams& params, std::u16string_view url,
                                      std::u16string_view save_folder);

// Readies a record for a query: all zero, status kTaskQueryPending.
void PrepareEngineTaskInfo(EngineTaskInfo& info);

struct TaskPollResult {
  enum class Kind { kInProgress, kFailed, kComplete };
  Kind kind = Kind::kInProgress;
  std::int32_t failure_code = 0;  // valid for kFailed
  std::u16string file_name;       // valid for kComplete
};

// What a filled EngineTaskInfo means for the caller.
TaskPollResult InterpretTaskInfo(const EngineTaskInfo& info);

// Full path of a completed download: the save folder, "\" and the file name
// the engine reported.
std::u16string ComposePackagePath(const EngineTaskParams& params, std::u16string_view file_name);

}  // namespace velko::engine
