#include "task_registry.h"

namespace velko::xldl {

TaskRegistry& TaskRegistry::Instance() {
  // Never destroyed: the library may be unloaded while download threads still
  // hold their tasks, and a static destructor would run under the loader lock.
  static TaskRegistry* registry = new TaskRegistry();
  return *registry;
}

void* TaskRegistry::Add(std::shared_ptr<EngineTask> task) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::uintptr_t handle = next_handle_++;
  tasks_.emplace(handle, std::move(task));
  return reinterpret_cast<void*>(handle);
}

std::shared_ptr<EngineTask> TaskRegistry::Find(void* handle) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = tasks_.find(reinterpret_cast<std::uintptr_t>(handle));
  return it != tasks_.end() ? it->second : nullptr;
}

std::shared_ptr<EngineTask> TaskRegistry::Remove(void* handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = tasks_.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == tasks_.end()) return nullptr;
  std::shared_ptr<EngineTask> task = std::move(it->second);
  tasks_.erase(it);
  return task;
}

}  // namespace velko::xldl
