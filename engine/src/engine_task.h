// One download of the reference engine: the URL fetched with libcurl on a
// thread of its own into the task's save folder.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace velko::xldl {

struct TaskSnapshot {
  std::int32_t status = 0;
  std::int32_t failure_code = 0;
  std::wstring file_name;  // set once the download is complete
  std::int64_t total_bytes = 0;
  std::int64_t downloaded_bytes = 0;
};

class EngineTask : public std::enable_shared_from_this<EngineTask> {
 public:
  EngineTask(std::wstring url, std::wstring folder, std::wstring file_name);
  ~EngineTask();

  EngineTask(const EngineTask&) = delete;
  EngineTask& operator=(const EngineTask&) = delete;

  // Starts the download thread; a second call does nothing. False when the
  // thread could not be started (the task then reports failure).
  bool Start();
  // Asks a running download to stop; it then reports kFailureStopped.
  void RequestStop() { stop_requested_ = true; }
  // Waits until the download thread has ended (or `timeout_ms` passed).
  void WaitForEnd(DWORD timeout_ms);

  TaskSnapshot Snapshot() const;

 private:
  static DWORD WINAPI ThreadMain(void* parameter);
  void Run();
  std::int32_t Download(const std::wstring& partial_path);
  void Finish(std::int32_t status, std::int32_t failure_code);
  void SetProgress(std::int64_t total, std::int64_t downloaded);
  friend int OnTransferProgress(void*, long long, long long, long long, long long);

  const std::wstring url_;
  const std::wstring folder_;
  const std::wstring file_name_;

  std::atomic<bool> stop_requested_{false};
  HANDLE thread_ = nullptr;
  mutable std::mutex mutex_;
  TaskSnapshot state_;
};

}  // namespace velko::xldl
