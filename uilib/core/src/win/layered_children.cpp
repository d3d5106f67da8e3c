#include "uilib/win/layered_children.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "uilib/win/common_controls.h"
#include "uilib/win/skinned_window.h"

namespace uilib::win {
namespace {

constexpr UINT_PTR kMirrorSubclassId = 0x55494C;  // "UIL"

// The child's rectangle in the parent's client coordinates.
RECT ChildRect(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The surface's top-down 32-bit DIB section; false when it has none.
bool SurfaceBits(HDC surface_dc, DIBSECTION* section) {
  HGDIOBJ bitmap = GetCurrentObject(surface_dc, OBJ_BITMAP);
  return bitmap != nullptr && GetObjectW(bitmap, sizeof *section, section) == sizeof *section &&
         section->dsBm.bmBits != nullptr && section->dsBm.bmBitsPixel == 32;
}

// Prints `window` at (x, y) of `dc`, then its visible children over it from
// the bottom of their z-order (the system's WM_PRINT may leave children out).
void PrintTree(HWND window, HDC dc, int x, int y) {
  POINT previous{};
  SetViewportOrgEx(dc, x, y, &previous);
  SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
  SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
  HWND first = GetWindow(window, GW_CHILD);
  for (HWND child = first != nullptr ? GetWindow(first, GW_HWNDLAST) : nullptr; child != nullptr;
       child = GetWindow(child, GW_HWNDPREV)) {
    if (!IsWindowVisible(child)) continue;
    // Offsets between window rectangles: WM_PRINT draws the frame at the origin.
    RECT outer{}, inner{};
    GetWindowRect(window, &outer);
    GetWindowRect(child, &inner);
    PrintTree(child, dc, x + inner.left - outer.left, y + inner.top - outer.top);
  }
}

void PrintChild(HWND child, const RECT& at, const RECT& visible, const DIBSECTION& surface) {
  const int width = at.right - at.left;
  const int height = at.bottom - at.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dc == nullptr || bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (dc != nullptr) DeleteDC(dc);
    return;
  }
  HGDIOBJ previous = SelectObject(dc, bitmap);
  auto* source = static_cast<std::uint32_t*>(bits);
  auto* target = static_cast<std::uint8_t*>(surface.dsBm.bmBits);
  const int stride = surface.dsBm.bmWidthBytes;
  // A window that draws nothing (a host whose content is missing) shows what
  // lies beneath it rather than black.
  for (int y = visible.top; y < visible.bottom; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(target + static_cast<std::ptrdiff_t>(y) * stride);
    std::memcpy(source + static_cast<std::ptrdiff_t>(y - at.top) * width + (visible.left - at.left), row + visible.left,
                static_cast<size_t>(visible.right - visible.left) * sizeof(std::uint32_t));
  }
  PrintTree(child, dc, 0, 0);
  GdiFlush();
  // GDI leaves the alpha bytes alone; the control's pixels are opaque.
  // The surface is top-down (GetObject does not say so reliably).
  for (int y = visible.top; y < visible.bottom; ++y) {
    auto* out = reinterpret_cast<std::uint32_t*>(target + static_cast<std::ptrdiff_t>(y) * stride);
    const std::uint32_t* in = source + static_cast<std::ptrdiff_t>(y - at.top) * width;
    for (int x = visible.left; x < visible.right; ++x) out[x] = in[x - at.left] | 0xFF000000u;
  }
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

LRESULT CALLBACK MirrorProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data) {
  if (message == WM_NCDESTROY) RemoveSubclass(window, MirrorProc, kMirrorSubclassId);
  if (message != WM_PAINT) return CallDefaultSubclass(window, message, wparam, lparam);
  const LRESULT result = CallDefaultSubclass(window, message, wparam, lparam);
  // The control drew into a window nobody sees: the layered parent repaints
  // the control's rectangle, printing the control into its surface.
  auto child = reinterpret_cast<HWND>(data);
  HWND parent = GetParent(child);
  if (parent != nullptr && IsWindowVisible(child)) {
    RECT r = ChildRect(parent, child);
    SendMessageW(parent, kMsgRepaint, reinterpret_cast<WPARAM>(&r), 0);
  }
  return result;
}

BOOL CALLBACK MirrorDescendant(HWND descendant, LPARAM child) {
  SetSubclass(descendant, MirrorProc, kMirrorSubclassId, static_cast<DWORD_PTR>(child));
  return TRUE;
}

}  // namespace

void PrintChildWindows(HWND parent, HDC surface_dc, const RECT& update) {
  DIBSECTION surface{};
  if (!SurfaceBits(surface_dc, &surface)) return;
  const RECT bounds{0, 0, surface.dsBm.bmWidth, surface.dsBm.bmHeight};
  RECT limit{};
  if (!IntersectRect(&limit, &update, &bounds)) return;
  // Bottom of the z-order first, so that overlapping children end as on screen.
  HWND first = GetWindow(parent, GW_CHILD);
  for (HWND child = first != nullptr ? GetWindow(first, GW_HWNDLAST) : nullptr; child != nullptr;
       child = GetWindow(child, GW_HWNDPREV)) {
    if (!IsWindowVisible(child)) continue;
    const RECT at = ChildRect(parent, child);
    RECT visible{};
    if (at.right <= at.left || at.bottom <= at.top || !IntersectRect(&visible, &at, &limit)) continue;
    PrintChild(child, at, visible, surface);
  }
}

void MirrorChildPaints(HWND parent, HWND child) {
  if (child == nullptr || (GetWindowLongPtrW(parent, GWL_EXSTYLE) & WS_EX_LAYERED) == 0) return;
  SetSubclass(child, MirrorProc, kMirrorSubclassId, reinterpret_cast<DWORD_PTR>(child));
  EnumChildWindows(child, MirrorDescendant, reinterpret_cast<LPARAM>(child));
}

}  // namespace uilib::win
