#pragma once
// Private messages and the timer of the task-mode controller window.

#include <windows.h>

namespace velko::updater {

// wParam: heap copy (_wcsdup) of the full path of xldl.dll, or null; the
// receiver frees it.
constexpr UINT WM_ENGINE_READY = 0x1400;
// wParam: the engine's failure code.
constexpr UINT WM_DOWNLOAD_FAILED = 0x1401;
constexpr UINT WM_DOWNLOAD_COMPLETE = 0x1402;

constexpr UINT_PTR POLL_TIMER = 0x1000;
constexpr UINT kPollIntervalMs = 50;
// wParam of WM_DOWNLOAD_FAILED when the engine did not finish in time (the
// engine's own failure codes are small positive numbers).
constexpr WPARAM kDownloadDeadlineFailure = static_cast<WPARAM>(-1);

}  // namespace velko::updater
