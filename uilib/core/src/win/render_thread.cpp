#include "uilib/win/render_thread.h"

namespace uilib::win {

RenderThread::~RenderThread() {
  Quit();
  if (ready_ != nullptr) CloseHandle(ready_);
}

bool RenderThread::Start() {
  ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (ready_ == nullptr) return false;
  thread_ = CreateThread(nullptr, 0, &RenderThread::Main, this, CREATE_SUSPENDED, &thread_id_);
  if (thread_ == nullptr) return false;
  SetThreadPriority(thread_, THREAD_PRIORITY_HIGHEST);
  ResumeThread(thread_);
  // Thread messages posted before the thread has a message queue are lost.
  return WaitForSingleObject(ready_, 5000) == WAIT_OBJECT_0;
}

DWORD WINAPI RenderThread::Main(void* self) {
  static_cast<RenderThread*>(self)->Loop();
  return 0;
}

void RenderThread::Loop() {
  MSG message;
  PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // creates the queue
  SetEvent(ready_);
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    switch (message.message) {
      case kRenderRepaint:
        queue_.PaintBatch(tree_mutex_);
        break;
      case kRenderPurge:
        queue_.Purge(reinterpret_cast<RepaintTarget*>(message.wParam));
        SetEvent(reinterpret_cast<HANDLE>(message.lParam));
        break;
      case kRenderQuit:
        return;
      default:
        break;
    }
  }
}

void RenderThread::QueueRepaint(RepaintTarget* target, const PixelRect& rect) {
  queue_.Push(target, rect);
  PostThreadMessageW(thread_id_, kRenderRepaint, 0, 0);
}

bool RenderThread::Purge(RepaintTarget* target, DWORD timeout_ms) {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (done == nullptr) return false;
  if (!PostThreadMessageW(thread_id_, kRenderPurge, reinterpret_cast<WPARAM>(target), reinterpret_cast<LPARAM>(done))) {
    CloseHandle(done);
    queue_.Purge(target);  // no render thread: nothing can be painting
    return true;
  }
  if (WaitForSingleObject(done, timeout_ms) != WAIT_OBJECT_0) {
    // The render thread will still signal the event: it is left open.
    return false;
  }
  CloseHandle(done);
  return true;
}

void RenderThread::Quit() {
  if (thread_ == nullptr) return;
  PostThreadMessageW(thread_id_, kRenderQuit, 0, 0);
  WaitForSingleObject(thread_, 5000);
  CloseHandle(thread_);
  thread_ = nullptr;
}

}  // namespace uilib::win
