// The private messages of the installer's controller window. The install
// worker and the controller's event handlers talk to the controller only
// through these. The UI library uses the same numbers for its own windows;
// each set goes only to its own windows.
#pragma once

#include <windows.h>

namespace velko::installer {

inline constexpr UINT WM_BEGIN_INSTALL = WM_USER + 501;        // 1525, posted
inline constexpr UINT WM_START_WORKER = WM_USER + 504;         // 1528, reserved: the click starts the worker
inline constexpr UINT WM_MAKE_SHORTCUTS = WM_USER + 505;       // 1529, posted by the worker
inline constexpr UINT WM_CLOSE_INSTALLER = WM_USER + 506;      // 1530, posted
inline constexpr UINT WM_MINIMIZE_WINDOWS = WM_USER + 507;     // 1531, posted
inline constexpr UINT WM_LAUNCH_BROWSER = WM_USER + 508;       // 1532, posted by the worker
inline constexpr UINT WM_UPDATE_PROGRESS = WM_USER + 509;      // 1533, posted
inline constexpr UINT WM_CONSENT_CHANGED = WM_USER + 510;      // 1534, posted; wParam 1/0
inline constexpr UINT WM_INSTALL_FAILED = WM_USER + 511;       // 1535, posted by the worker
inline constexpr UINT WM_ASK_BROWSER_RUNNING = WM_USER + 512;  // 1536, sent by the worker
inline constexpr UINT WM_REGISTER_BROWSER = WM_USER + 513;     // 1537, posted by the worker

static_assert(WM_BEGIN_INSTALL == 1525 && WM_REGISTER_BROWSER == 1537);

}  // namespace velko::installer
