// The render thread: a message loop on thread messages at highest priority.
// 0x600 paints a batch of the render queue, 0x602 purges a window's records
// and signals an event, 0x601 ends the loop.
#pragma once

#include <windows.h>

#include "uilib/render_queue.h"

namespace uilib::win {

inline constexpr UINT kRenderRepaint = 0x600;
inline constexpr UINT kRenderQuit = 0x601;
inline constexpr UINT kRenderPurge = 0x602;

class RenderThread {
 public:
  RenderThread(RenderQueue& queue, TimedMutex& tree_mutex) : queue_(queue), tree_mutex_(tree_mutex) {}
  ~RenderThread();
  RenderThread(const RenderThread&) = delete;
  RenderThread& operator=(const RenderThread&) = delete;

  // Creates the thread suspended, raises it to the highest priority, resumes
  // it and waits until its message queue exists. False when it cannot start.
  bool Start();
  // Queues {target, rect} and tells the thread to paint.
  void QueueRepaint(RepaintTarget* target, const PixelRect& rect);
  // Removes the target's queued records on the render thread and waits for
  // it (at most `timeout_ms`). True when the purge was confirmed.
  bool Purge(RepaintTarget* target, DWORD timeout_ms = 2000);
  // Asks the loop to end and waits for the thread.
  void Quit();

  DWORD ThreadId() const { return thread_id_; }

 private:
  static DWORD WINAPI Main(void* self);
  void Loop();

  RenderQueue& queue_;
  TimedMutex& tree_mutex_;
  HANDLE thread_ = nullptr;
  HANDLE ready_ = nullptr;
  DWORD thread_id_ = 0;
};

}  // namespace uilib::win
