// The reference engine's tasks by handle. A handle is a number that is never
// reused, so a stale or foreign handle finds nothing instead of freed memory.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "engine_task.h"

namespace velko::xldl {

class TaskRegistry {
 public:
  static TaskRegistry& Instance();

  void* Add(std::shared_ptr<EngineTask> task);
  std::shared_ptr<EngineTask> Find(void* handle) const;
  // Removes the task and hands it to the caller; null when unknown.
  std::shared_ptr<EngineTask> Remove(void* handle);

 private:
  mutable std::mutex mutex_;
  std::uintptr_t next_handle_ = 0x1000;
  std::map<std::uintptr_t, std::shared_ptr<EngineTask>> tasks_;
};

}  // namespace velko::xldl
