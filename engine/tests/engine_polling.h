// Polling helpers of the engine tests: a task is watched until it ends, with a
// deadline so that a broken engine fails the test instead of hanging it.
#pragma once

#include <windows.h>

#include <cstring>

#include "velko/engine/down_wrapper.h"
#include "velko/engine/engine_task_records.h"

namespace velko::xldl::testing {

inline constexpr DWORD kTaskDeadlineMs = 20000;

// Queries until the status is 1 or 4, or the deadline passes (status then 2).
inline engine::EngineTaskInfo WaitForTaskEnd(engine::DownWrapper& wrapper, void* task) {
  engine::EngineTaskInfo info;
  const ULONGLONG deadline = ::GetTickCount64() + kTaskDeadlineMs;
  do {
    engine::PrepareEngineTaskInfo(info);
    if (wrapper.XL_QueryTaskInfoEx(task, &info) != 0 &&
        (info.status == engine::kTaskFailed || info.status == engine::kTaskComplete)) {
      return info;
    }
    ::Sleep(20);
  } while (::GetTickCount64() < deadline);
  engine::PrepareEngineTaskInfo(info);
  return info;
}

}  // namespace velko::xldl::testing
