// The task state that the download engine fills on each query.
// 1429 bytes, packed (no alignment gaps), little-endian. No pointers: the
// layout is the same in 32-bit and 64-bit builds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "velko/engine/engine_task_params.h"

namespace velko::engine {

// Status values of a task. Only kFailed and kComplete call for an action;
// every other value means the task is still in progress.
enum EngineTaskStatus : std::int32_t {
  kTaskFailed = 1,        // the failure code is valid
  kTaskQueryPending = 2,  // placed in the record before each query
  kTaskComplete = 4,      // the file name is valid
};

#pragma pack(push, 1)
struct EngineTaskInfo {
  std::int32_t status;
  std::int32_t failure_code;
  char16_t file_name[kTaskNameUnits];   // name of the downloaded file in the save folder
  char16_t unused_name[kTaskNameUnits];
  std::int64_t total_bytes;
  std::int64_t downloaded_bytes;
  float speed_ratio;                    // set to 0 before each query
  std::uint8_t unused_block[96];
  std::uint8_t flag;                    // set to 0 before each query
  float second_ratio;                   // set to 0 before each query
  std::uint8_t unused_tail[260];
};
#pragma pack(pop)

static_assert(sizeof(EngineTaskInfo) == 1429);
static_assert(offsetof(EngineTaskInfo, status) == 0);
static_assert(offsetof(EngineTaskInfo, failure_code) == 4);
static_assert(offsetof(EngineTaskInfo, file_name) == 8);
static_assert(offsetof(EngineTaskInfo, unused_name) == 528);
static_assert(offsetof(EngineTaskInfo, total_bytes) == 1048);
static_assert(offsetof(EngineTaskInfo, downloaded_bytes) == 1056);
static_assert(offsetof(EngineTaskInfo, speed_ratio) == 1064);
static_assert(offsetof(EngineTaskInfo, unused_block) == 1068);
static_assert(offsetof(EngineTaskInfo, flag) == 1164);
static_assert(offsetof(EngineTaskInfo, second_ratio) == 1165);
static_assert(offsetof(EngineTaskInfo, unused_tail) == 1169);

}  // namespace velko::engine
