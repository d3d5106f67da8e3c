"""A scroll bar element and a decoration window under Wine, driven with real X input
through `uilibtool show`: wheel turns over a long label move its text and the thumb,
dragging the thumb scrolls, clicking the track pages; a decorated window dragged by its
caption keeps its decoration at the same offset, and a click on the decoration leaves the
owner in front. The states are read from screenshots of the virtual display.
"""
from __future__ import annotations

import subprocess
from pathlib import Path

import pytest

from test_uilibtool_show import ShownWindow, show  # noqa: F401  (fixture)

GALLERY = Path(__file__).resolve().parents[2] / "uilib" / "widgets" / "gallery"
TRACK = (210, 210, 210)
OWNER = (250, 250, 250)

SKIN = """<?xml version="1.0" encoding="utf-8"?>
<uilib>
  <window id="scroll" windowstyle="WS_POPUP|WS_VISIBLE" exwindowstyle="WS_EX_LAYERED" width="240" height="140"
          left="60" top="60" style="background:rgb(240,240,240);">
    <label id="text" vscroll="bar" value="{text}" style="width:200px;height:120px;margin:10px;font:14px Arial;color:rgb(0,0,0);background:rgb(255,255,255);text-align:top-left;"/>
    <scrollbar id="bar" texture1="{thumb}" texture-size1="12px 40px" texture-margin1="4px 4px 4px 4px STRETCH"
               style="width:12px;height:120px;margin-top:10px;background:rgb(210,210,210);"/>
  </window>
  <window id="decorated" windowstyle="WS_POPUP|WS_VISIBLE" exwindowstyle="WS_EX_LAYERED" width="260" height="160"
          left="400" top="300" border="res(self,PNG_GALLERY_SHADOW,PNG)" border-offset="20 20"
          style="background:rgb(250,250,250);">
    <element id="caption" movable="true" style="width:100%;height:40px;background:rgb(60,120,220);"/>
  </window>
</uilib>
"""

# Client x of the bar's middle column, and the bar's top and bottom.
BAR_X, BAR_TOP, BAR_BOTTOM = 226, 10, 130


def windows_path(path: Path) -> str:
    return "Z:" + str(path).replace("/", "\\")


@pytest.fixture
def skin(tmp_path: Path) -> str:
    text = "&#10;".join(f"Line {i} of the long label" for i in range(1, 31))
    path = tmp_path / "scroll_skin.xml"
    path.write_text(SKIN.format(text=text, thumb=windows_path(GALLERY / "thumb.png")), encoding="utf-8")
    return windows_path(path)


def screenshot(window: ShownWindow, out: Path) -> Path:
    subprocess.run(["import", "-window", "root", str(out)], env=window.env, check=True, timeout=30)
    return out


def column(shot: Path, x: int, y0: int, y1: int) -> list[tuple[int, int, int]]:
    """The pixels of screen column x from y0 to y1 (exclusive)."""
    text = subprocess.run(["convert", str(shot), "-crop", f"1x{y1 - y0}+{x}+{y0}", "+repage", "-depth", "8",
                           "txt:-"], capture_output=True, text=True, check=True).stdout
    pixels = []
    for line in text.splitlines()[1:]:
        rgb = line.split("(", 1)[1].split(")", 1)[0].split(",")[:3]
        pixels.append(tuple(int(float(v)) for v in rgb))
    return pixels


def thumb_top(window: ShownWindow, tmp_path: Path, name: str) -> int:
    """Client y of the thumb's first row: the first pixel of the bar that is not track."""
    x, y = window.geometry()[:2]
    pixels = column(screenshot(window, tmp_path / name), x + BAR_X, y + BAR_TOP, y + BAR_BOTTOM)
    for offset, pixel in enumerate(pixels):
        if max(abs(a - b) for a, b in zip(pixel, TRACK)) > 20:
            return BAR_TOP + offset
    pytest.fail(f"no thumb in the bar: {pixels[:5]}")


def text_column(window: ShownWindow, tmp_path: Path, name: str) -> list[tuple[int, int, int]]:
    x, y = window.geometry()[:2]
    shot = screenshot(window, tmp_path / name)
    return [p for cx in range(20, 120, 7) for p in column(shot, x + cx, y + 12, y + 128)]


def test_wheel_drag_and_track_clicks_scroll_the_label(show, skin, tmp_path):  # noqa: F811
    window = show(skin, "scroll")
    start_top = thumb_top(window, tmp_path, "start.png")
    start_text = text_column(window, tmp_path, "start_text.png")
    assert start_top == BAR_TOP

    window.point_at((100, 60))
    for _ in range(3):
        window.step("click", "5")  # wheel down
    wheeled = thumb_top(window, tmp_path, "wheel.png")
    assert wheeled > start_top
    assert text_column(window, tmp_path, "wheel_text.png") != start_text

    # Drag the thumb 30 pixels down.
    window.point_at((BAR_X, wheeled + 5))
    window.step("mousedown", "1")
    window.step("mousemove_relative", "--", "0", "15")
    window.step("mousemove_relative", "--", "0", "15")
    window.step("mouseup", "1")
    dragged = thumb_top(window, tmp_path, "drag.png")
    assert dragged - wheeled == pytest.approx(30, abs=3)

    # Clicks on the track above the thumb page up, back to the start.
    paged = thumb_top(window, tmp_path, "page0.png")
    for step in range(1, 6):
        window.point_at((BAR_X, BAR_TOP + 2))
        window.step("click", "1")
        now = thumb_top(window, tmp_path, f"page{step}.png")
        assert now < paged or now == BAR_TOP
        paged = now
    assert paged == BAR_TOP
    assert text_column(window, tmp_path, "page_text.png") == start_text


def decoration_geometry(window: ShownWindow) -> tuple[int, ...]:
    for xid in window.xdotool("search", "--onlyvisible", "--pid", str(window.proc.pid), "").split():
        geometry = window.geometry(xid)
        if geometry is not None and geometry[2:] == (300, 200):
            return geometry
    pytest.fail("no decoration window on the display")


def test_decoration_follows_a_caption_drag_and_stays_behind(show, skin, tmp_path):  # noqa: F811
    window = show(skin, "decorated")
    x, y = window.geometry()[:2]
    assert decoration_geometry(window)[:2] == (x - 20, y - 20)

    window.point_at((100, 20))
    window.step("mousedown", "1")
    window.step("mousemove_relative", "--", "25", "10")
    window.step("mousemove_relative", "--", "25", "20")
    window.step("mouseup", "1")
    moved = window.geometry()[:2]
    assert moved == (x + 50, y + 30)
    assert decoration_geometry(window)[:2] == (moved[0] - 20, moved[1] - 20)

    # A click on the decoration's edge: the owner stays in front of it.
    dx, dy = decoration_geometry(window)[:2]
    window.step("mousemove", str(dx + 8), str(dy + 100))
    window.step("click", "1")
    shot = screenshot(window, tmp_path / "after_click.png")
    assert column(shot, moved[0] + 130, moved[1] + 100, moved[1] + 101) == [OWNER]
