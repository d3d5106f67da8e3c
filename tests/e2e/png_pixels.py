"""Reads 8-bit RGB/RGBA PNG files with the standard library only (zlib), for
pixel checks of rendered pictures."""

from __future__ import annotations

import struct
import zlib
from pathlib import Path


def _paeth(a: int, b: int, c: int) -> int:
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


class Png:
    """Pixels as (r, g, b, a) tuples; RGB images get alpha 255."""

    def __init__(self, path: str | Path) -> None:
        data = Path(path).read_bytes()
        if data[:8] != b"\x89PNG\r\n\x1a\n":
            raise ValueError(f"{path}: not a PNG file")
        pos, idat = 8, b""
        while pos < len(data):
            length, kind = struct.unpack(">I4s", data[pos:pos + 8])
            chunk = data[pos + 8:pos + 8 + length]
            pos += 12 + length
            if kind == b"IHDR":
                self.width, self.height, depth, color, _, _, interlace = struct.unpack(">IIBBBBB", chunk)
                if depth != 8 or color not in (2, 6) or interlace:
                    raise ValueError(f"{path}: only 8-bit RGB/RGBA without interlacing is read")
                self.channels = 4 if color == 6 else 3
            elif kind == b"IDAT":
                idat += chunk
            elif kind == b"IEND":
                break
        self._rows = self._unfilter(zlib.decompress(idat))

    def _unfilter(self, raw: bytes) -> list[bytearray]:
        stride = self.width * self.channels
        bpp = self.channels
        rows: list[bytearray] = []
        previous = bytearray(stride)
        pos = 0
        for _ in range(self.height):
            kind = raw[pos]
            line = bytearray(raw[pos + 1:pos + 1 + stride])
            pos += 1 + stride
            for i in range(stride):
                left = line[i - bpp] if i >= bpp else 0
                up = previous[i]
                up_left = previous[i - bpp] if i >= bpp else 0
                if kind == 1:
                    line[i] = (line[i] + left) & 0xFF
                elif kind == 2:
                    line[i] = (line[i] + up) & 0xFF
                elif kind == 3:
                    line[i] = (line[i] + (left + up) // 2) & 0xFF
                elif kind == 4:
                    line[i] = (line[i] + _paeth(left, up, up_left)) & 0xFF
            rows.append(line)
            previous = line
        return rows

    def pixel(self, x: int, y: int) -> tuple[int, int, int, int]:
        row = self._rows[y]
        i = x * self.channels
        if self.channels == 3:
            return row[i], row[i + 1], row[i + 2], 255
        return row[i], row[i + 1], row[i + 2], row[i + 3]
