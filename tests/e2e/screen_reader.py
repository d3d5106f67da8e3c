"""Fast reads of the virtual display's pixels, straight through Xlib.

ImageMagick's `import` starts a program per picture (a tenth of a second or
more); a progress that lasts half a second needs pictures a few milliseconds
apart. XGetImage on the root window reads what is on the screen, whichever
window it belongs to.
"""

from __future__ import annotations

import ctypes
import ctypes.util

Z_PIXMAP = 2
ALL_PLANES = ctypes.c_ulong(0xFFFFFFFF)


class _XImage(ctypes.Structure):
    # The leading fields of Xlib's XImage, up to the pixel data's layout.
    _fields_ = [
        ("width", ctypes.c_int),
        ("height", ctypes.c_int),
        ("xoffset", ctypes.c_int),
        ("format", ctypes.c_int),
        ("data", ctypes.POINTER(ctypes.c_ubyte)),
        ("byte_order", ctypes.c_int),
        ("bitmap_unit", ctypes.c_int),
        ("bitmap_bit_order", ctypes.c_int),
        ("bitmap_pad", ctypes.c_int),
        ("depth", ctypes.c_int),
        ("bytes_per_line", ctypes.c_int),
        ("bits_per_pixel", ctypes.c_int),
    ]


class ScreenReader:
    """Reads rectangles of the screen of display `name` as RGB rows."""

    def __init__(self, name: str) -> None:
        path = ctypes.util.find_library("X11")
        if path is None:
            raise RuntimeError("libX11 not found")
        x11 = ctypes.CDLL(path)
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XGetImage.restype = ctypes.POINTER(_XImage)
        x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x11.XFree.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._x11 = x11
        self._display = x11.XOpenDisplay(name.encode())
        if not self._display:
            raise RuntimeError(f"cannot open display {name}")
        self._root = x11.XDefaultRootWindow(self._display)

    def read(self, x: int, y: int, width: int, height: int) -> bytes | None:
        """RGB bytes of the rectangle, row by row; None when it cannot be read
        (for example when it lies partly off the screen)."""
        image = self._x11.XGetImage(self._display, self._root, x, y, width, height, ALL_PLANES, Z_PIXMAP)
        if not image:
            return None
        try:
            info = image.contents
            if info.bits_per_pixel != 32 or info.byte_order != 0:  # 32-bit little-endian BGRX
                return None
            raw = ctypes.string_at(info.data, info.bytes_per_line * height)
        finally:
            self._free(image)
        row_bytes = width * 4
        if info.bytes_per_line != row_bytes:  # padded rows: drop the padding
            raw = b"".join(raw[row * info.bytes_per_line:row * info.bytes_per_line + row_bytes]
                           for row in range(height))
        rgb = bytearray(width * height * 3)
        rgb[0::3] = raw[2::4]
        rgb[1::3] = raw[1::4]
        rgb[2::3] = raw[0::4]
        return bytes(rgb)

    def _free(self, image) -> None:
        # XDestroyImage is a macro in Xlib; for an image from XGetImage it
        # frees the pixel data and the structure, as done here.
        data = ctypes.cast(image.contents.data, ctypes.c_void_p)
        self._x11.XFree(data)
        self._x11.XFree(ctypes.cast(image, ctypes.c_void_p))

    def close(self) -> None:
        if self._display:
            self._x11.XCloseDisplay(self._display)
            self._display = None
