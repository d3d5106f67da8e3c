#!/usr/bin/env python3
"""Draws the installer's skin images and icon into installer/res/images/.

The images are committed; run this script again after changing a design:
    installer/res/make_images.py
It needs ImageMagick's `convert` and the WenQuanYi Micro Hei font
(fonts-wqy-microhei). Every PNG is 8-bit-per-channel RGBA without time
stamps, so a run on the same tools gives the same bytes.

Sizes and frame layouts are fixed by what the skin and the UI library expect:
backgrounds 606x330; logo 29x32; minimise and close 48x16 (normal, hovered,
pressed); install button 520x32 (normal, hovered, pressed, disabled);
consent box 105x15 (unchecked normal, hovered, pressed, disabled, checked
normal, hovered, pressed); progress bar 520x3; icon 256..16 px.
"""
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "images")
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

BLUE = "#2f7bf5"
BLUE_LIGHT = "#4d90ff"
BLUE_DARK = "#2260c9"
TEXT = "#2b2f36"
TEXT_SOFT = "#8a909a"
ICON_GRAY = "#8a909a"


def convert(*args, output):
    cmd = ["convert", *args, "-strip", "-define", "png:exclude-chunks=date,time",
           "-define", "png:color-type=6", "-define", "png:bit-depth=8", "PNG32:" + output]
    subprocess.run(cmd, check=True)


def frames(paths, output):
    convert(*paths, "+append", output=output)


def background(output, headline, headline_size, tagline):
    """A light window face: soft vertical gradient, two pale ridges of hills
    at the foot (the name of the browser is a mountain stone), a title and a
    line below it and a hairline border. Opaque to the corners: a layered
    window starts each repaint from opaque black, so a pixel the background
    leaves transparent would show black on screen."""
    w, h = 606, 330
    convert("-size", f"{w}x{h}", "gradient:#ffffff-#edf2f9",
            "-fill", "#e2ebf8", "-draw",
            "path 'M 0,262 C 90,220 160,236 240,252 C 330,270 420,214 606,240 L 606,330 L 0,330 Z'",
            "-fill", "#d6e3f6", "-draw",
            "path 'M 0,300 C 120,262 230,292 330,282 C 430,272 520,250 606,276 L 606,330 L 0,330 Z'",
            "-font", FONT, "-gravity", "north",
            "-fill", TEXT, "-pointsize", str(headline_size), "-annotate", "+0+96", headline,
            "-fill", TEXT_SOFT, "-pointsize", "14", "-annotate", f"+0+{110 + headline_size + 14}", tagline,
            "-gravity", "northwest", "-fill", "none", "-stroke", "#cfd7e3", "-strokewidth", "1",
            "-draw", f"rectangle 0.5,0.5 {w - 1.5},{h - 1.5}",
            output=output)


def logo(output, size_w, size_h):
    """Logo: a blue rounded tile with two white peaks and a mist line."""
    s = 8  # drawn large, then reduced for smooth edges
    W, H = size_w * s, size_h * s
    pad = max(1, round(min(W, H) * 0.04))
    convert("-size", f"{W}x{H}", "xc:none",
            "-fill", BLUE, "-draw", f"roundrectangle {pad},{pad} {W - pad - 1},{H - pad - 1} {W * 0.22},{W * 0.22}",
            "-fill", "#ffffff",
            "-draw", f"polygon {W * 0.16},{H * 0.70} {W * 0.42},{H * 0.30} {W * 0.58},{H * 0.52} "
                     f"{W * 0.68},{H * 0.40} {W * 0.86},{H * 0.70}",
            "-fill", BLUE_LIGHT,
            "-draw", f"polygon {W * 0.42},{H * 0.30} {W * 0.50},{H * 0.42} {W * 0.44},{H * 0.40} "
                     f"{W * 0.38},{H * 0.46} {W * 0.34},{H * 0.42}",
            "-fill", "#cfe0ff",
            "-draw", f"roundrectangle {W * 0.20},{H * 0.76} {W * 0.80},{H * 0.81} {W * 0.03},{W * 0.03}",
            "-resize", f"{size_w}x{size_h}!", output=output)


def glyph_button(output, kind, style):
    """One 16x16 frame of the minimise or close button."""
    bg, fg = {"normal": ("none", ICON_GRAY),
              "hover": ("#e4e9f1" if kind == "min" else "#e5484d", "#3c414a" if kind == "min" else "#ffffff"),
              "pressed": ("#d2d9e4" if kind == "min" else "#c4363b", "#24272d" if kind == "min" else "#ffffff")}[style]
    s = 8
    W = 16 * s
    args = ["-size", f"{W}x{W}", "xc:none"]
    if bg != "none":
        args += ["-fill", bg, "-draw", f"circle {W / 2},{W / 2} {W / 2},1"]
    args += ["-stroke", fg, "-strokewidth", str(1.6 * s), "-fill", "none"]
    if kind == "min":
        args += ["-draw", f"line {W * 0.28},{W * 0.5} {W * 0.72},{W * 0.5}"]
    else:
        args += ["-draw", f"line {W * 0.31},{W * 0.31} {W * 0.69},{W * 0.69}",
                 "-draw", f"line {W * 0.69},{W * 0.31} {W * 0.31},{W * 0.69}"]
    convert(*args, "-resize", "16x16!", output=output)


def install_button(output, top, bottom, text_color):
    s = 4
    W, H = 130 * s, 32 * s
    with tempfile.TemporaryDirectory() as tmp:
        fill = os.path.join(tmp, "fill.png")
        convert("-size", f"{W}x{H}", f"gradient:{top}-{bottom}", output=fill)
        mask = os.path.join(tmp, "mask.png")
        convert("-size", f"{W}x{H}", "xc:black", "-fill", "white",
                "-draw", f"roundrectangle 0,0 {W - 1},{H - 1} {4 * s},{4 * s}", output=mask)
        convert(fill, mask, "-alpha", "off", "-compose", "CopyOpacity", "-composite",
                "-compose", "over", "-font", FONT, "-pointsize", str(15 * s), "-fill", text_color,
                "-gravity", "center", "-annotate", "+0+0", "立即安装",
                "-resize", "130x32!", output=output)


def check_box(output, checked, border, fill, mark="#ffffff"):
    s = 8
    W = 15 * s
    args = ["-size", f"{W}x{W}", "xc:none", "-fill", fill, "-stroke", border, "-strokewidth", str(1.2 * s),
            "-draw", f"roundrectangle {0.6 * s},{0.6 * s} {W - 0.6 * s - 1},{W - 0.6 * s - 1} {2.5 * s},{2.5 * s}"]
    if checked:
        args += ["-fill", "none", "-stroke", mark, "-strokewidth", str(1.8 * s),
                 "-draw", f"polyline {W * 0.25},{W * 0.52} {W * 0.43},{W * 0.70} {W * 0.76},{W * 0.32}"]
    convert(*args, "-resize", "15x15!", output=output)


def rgba_pixels(path, w, h):
    raw = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], check=True, capture_output=True).stdout
    assert len(raw) == w * h * 4
    return raw


def dib_icon_image(path, size):
    """A 32-bit BMP icon image: header, BGRA rows bottom-up, empty AND mask."""
    px = rgba_pixels(path, size, size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in range(size - 1, -1, -1):
        row = bytearray()
        for x in range(size):
            r, g, b, a = px[(y * size + x) * 4:(y * size + x) * 4 + 4]
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    mask_row = b"\0" * (((size + 31) // 32) * 4)
    return header + b"".join(rows) + mask_row * size


def icon(output, tmp):
    """Icon group of seven 32-bit images; 256 px stored as PNG, the rest as BMP."""
    images = []
    for size in (256, 128, 64, 48, 32, 24, 16):
        png = os.path.join(tmp, f"icon{size}.png")
        logo(png, size, size)
        if size == 256:
            with open(png, "rb") as f:
                data = f.read()
        else:
            data = dib_icon_image(png, size)
        images.append((size, data))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    body = b""
    for size, data in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset + len(body))
        body += data
    with open(output, "wb") as f:
        f.write(directory + body)


def main():
    os.makedirs(OUT, exist_ok=True)
    out = lambda name: os.path.join(OUT, name)
    background(out("back1.png"), "岚石浏览器", 34, "快速  ·  稳定  ·  安全")
    background(out("back2.png"), "正在为您安装岚石浏览器", 24, "安装完成后将自动打开浏览器")
    logo(out("logo.png"), 29, 32)
    with tempfile.TemporaryDirectory() as tmp:
        for kind in ("min", "close"):
            parts = []
            for style in ("normal", "hover", "pressed"):
                p = os.path.join(tmp, f"{kind}-{style}.png")
                glyph_button(p, kind, style)
                parts.append(p)
            frames(parts, out(f"{kind}1.png"))
            frames(parts, out(f"{kind}2.png"))
        parts = []
        for i, (top, bottom, text) in enumerate([(BLUE_LIGHT, BLUE, "#ffffff"), ("#62a0ff", "#3a86f7", "#ffffff"),
                                                 (BLUE, BLUE_DARK, "#e8f0ff"), ("#d3d8df", "#c3c9d1", "#f5f7fa")]):
            p = os.path.join(tmp, f"install{i}.png")
            install_button(p, top, bottom, text)
            parts.append(p)
        frames(parts, out("install1.png"))
        parts = []
        looks = [(False, "#a9b1bd", "#ffffff"), (False, BLUE, "#ffffff"), (False, BLUE_DARK, "#e7effd"),
                 (False, "#d3d8df", "#f1f3f6"), (True, BLUE, BLUE), (True, BLUE_LIGHT, BLUE_LIGHT),
                 (True, BLUE_DARK, BLUE_DARK)]
        for i, (checked, border, fill) in enumerate(looks):
            p = os.path.join(tmp, f"check{i}.png")
            check_box(p, checked, border, fill)
            parts.append(p)
        frames(parts, out("check1.png"))
        convert("-size", "3x520", f"gradient:#35c3c8-{BLUE}", "-rotate", "90", output=out("loading.png"))
        icon(out("installer.ico"), tmp)
    return 0


if __name__ == "__main__":
    sys.exit(main())
