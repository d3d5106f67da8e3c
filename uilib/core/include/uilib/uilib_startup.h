// UILibStartup: the library's process-wide start-up. Call it once, on the
// thread that will own the skinned windows, before any other library call.
#pragma once

#include <cstdint>

#include "uilib/native_handles.h"

// Stores `module` as the module that "self" references name, creates the
// library's message window, thread timers (network pump 1 ms, scroll step
// 10 ms, deferred deletion 1000 ms), the transfer multi handle and the locks,
// initialises COM, the common controls and GDI+, and starts the render
// thread. The three further values are not used. Nonzero when everything
// started; a second call does nothing and returns the first call's result.
int UILibStartup(uilib::NativeModule module, std::uintptr_t unused1 = 0, std::uintptr_t unused2 = 0,
                 std::uintptr_t unused3 = 0);
