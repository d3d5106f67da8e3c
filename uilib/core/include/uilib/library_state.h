// Process-wide state of the library that element and window code share: the
// tree mutex (guards element trees against the render thread), the render
// queue, the deferred-deletion list and the module that "self" names. Created on first use; on Windows UILibStartup creates it in
// its start-up order.
#pragma once

#include "uilib/deferred_deletion.h"
#include "uilib/native_handles.h"
#include "uilib/render_queue.h"
#include "uilib/timed_mutex.h"

namespace uilib {

struct LibraryState {
  NativeModule module = nullptr;  // the client's module ("self")
  TimedMutex tree_mutex;
  DeferredDeletion deletion;
  RenderQueue render_queue;
  // Called by the 10 ms scroll step timer; set by the scroll bar kind. It
  // answers whether it found work: the timer stops after a tick without.
  bool (*scroll_step)() = nullptr;
  // Called when a drag queues a position: starts the scroll step timer when
  // it is not running (set by the Windows start-up; none natively).
  void (*scroll_step_wanted)() = nullptr;
};

LibraryState& State();

}  // namespace uilib
