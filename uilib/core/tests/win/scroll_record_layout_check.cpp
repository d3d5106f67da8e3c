// Compile-only: the records that IUILibScrollBar exchanges with its clients are
// Win32's SCROLLINFO and SCROLLBARINFO, with sizes and field offsets that do not
// depend on the pointer size (the size field is checked at run time against 60).
#include <windows.h>

#include <cstddef>
#include <type_traits>

#include "uilib/native_handles.h"

static_assert(std::is_same_v<tagSCROLLINFO, SCROLLINFO>);
static_assert(std::is_same_v<tagSCROLLBARINFO, SCROLLBARINFO>);

static_assert(sizeof(SCROLLINFO) == 28);
static_assert(offsetof(SCROLLINFO, cbSize) == 0);
static_assert(offsetof(SCROLLINFO, fMask) == 4);
static_assert(offsetof(SCROLLINFO, nMin) == 8);
static_assert(offsetof(SCROLLINFO, nMax) == 12);
static_assert(offsetof(SCROLLINFO, nPage) == 16);
static_assert(offsetof(SCROLLINFO, nPos) == 20);
static_assert(offsetof(SCROLLINFO, nTrackPos) == 24);
static_assert(std::is_unsigned_v<decltype(SCROLLINFO::nPage)>);

static_assert(sizeof(SCROLLBARINFO) == 60);
static_assert(offsetof(SCROLLBARINFO, rcScrollBar) == 4);
static_assert(offsetof(SCROLLBARINFO, dxyLineButton) == 20);
static_assert(offsetof(SCROLLBARINFO, xyThumbTop) == 24);
static_assert(offsetof(SCROLLBARINFO, xyThumbBottom) == 28);
static_assert(offsetof(SCROLLBARINFO, reserved) == 32);
static_assert(offsetof(SCROLLBARINFO, rgstate) == 36);
static_assert(sizeof(SCROLLBARINFO::rgstate) == 6 * 4);
