// The UI thread: the one that called UILibStartup. It owns every skinned
// window and runs all element operations; only painting may run elsewhere
// (on the render thread). Debug builds check that element operations that
// change a tree run on the UI thread.
#pragma once

namespace uilib {

// Records the calling thread as the UI thread (UILibStartup does this).
void MarkUiThread();
// True on the UI thread, and on any thread while no UI thread is recorded
// (trees built without UILibStartup, as tools and tests do).
bool OnUiThread();

// Debug builds: stops the program when called off the UI thread.
void CheckUiThread(const char* operation);

}  // namespace uilib
