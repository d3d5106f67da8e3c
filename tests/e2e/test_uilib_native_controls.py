"""The highlight button and the native-control kinds under real X input: `uilibtool
show` on a layered window, driven by xdotool. Hovering a selected button darkens its
highlight; choosing a combo box item with the mouse fires `onselchange` once; each
Enter typed into a rich edit fires `onreturn` once."""
from __future__ import annotations

import subprocess
import time

from png_pixels import Png
from test_uilibtool_show import show  # noqa: F401  (the fixture that starts the tool)

SKIN = """<?xml version="1.0" encoding="utf-8"?>
<uilib>
  <window id="Native" windowstyle="WS_POPUP|WS_VISIBLE" exwindowstyle="WS_EX_LAYERED" width="320" height="200"
          left="60" top="60" title="native" style="background:rgb(240,240,240);">
    <element style="width:100%;height:50px;">
      <button id="selected" selected="true" style="width:120px;height:40px;"/>
    </element>
    <element style="width:100%;height:40px;">
      <comboboxex id="combo" default="2" onselchange="uilib::Changed" style="width:160px;height:24px;"
                  data="1:res(self,PNG_CLOSE1,PNG),first;2:res(self,PNG_MIN1,PNG),second"/>
    </element>
    <richedit id="edit" windowstyle="ES_MULTILINE|WS_VSCROLL" onreturn="uilib::Return" style="width:300px;height:80px;"/>
  </window>
</uilib>
"""
BUTTON_FILL = (60, 20)
COMBO = (80, 62)
FIRST_ITEM = (80, 74 + 8)  # the drop-down list opens below the 24-pixel control
EDIT = (150, 130)
EMPTY = (250, 20)


def start(show, tmp_path):
    skin = tmp_path / "native.xml"
    skin.write_text(SKIN, encoding="utf-8")
    return show("Z:" + str(skin).replace("/", "\\"), "Native")


def screen_pixel(window, tmp_path, client: tuple[int, int]) -> tuple[int, int, int, int]:
    out = tmp_path / "screen.png"
    subprocess.run(["timeout", "20", "import", "-window", "root", "-depth", "8", f"PNG24:{out}"],
                   env=window.env, check=True)
    x, y = window.geometry()[:2]
    return Png(out).pixel(x + client[0], y + client[1])


def wait_for_pixel(window, tmp_path, client, accept, timeout: float = 5.0):
    deadline = time.monotonic() + timeout
    while True:
        pixel = screen_pixel(window, tmp_path, client)
        if accept(pixel) or time.monotonic() > deadline:
            return pixel
        time.sleep(0.2)


def count(window, line: str) -> int:
    return sum(seen == line for seen in window.lines())


def test_hovering_a_selected_button_draws_its_highlight_twice(show, tmp_path):
    window = start(show, tmp_path)
    window.point_at(EMPTY)
    selected = wait_for_pixel(window, tmp_path, BUTTON_FILL, lambda p: p[2] > p[0])
    assert selected[2] > selected[0], selected  # the blue highlight
    window.point_at(BUTTON_FILL)
    both = wait_for_pixel(window, tmp_path, BUTTON_FILL, lambda p: p[0] < selected[0])
    assert both[0] < selected[0] and both[1] < selected[1], (selected, both)
    window.point_at(EMPTY)
    assert wait_for_pixel(window, tmp_path, BUTTON_FILL, lambda p: p == selected) == selected


def test_choosing_a_combo_box_item_fires_onselchange_once(show, tmp_path):
    window = start(show, tmp_path)
    window.point_at(COMBO)
    window.step("click", "1")
    time.sleep(0.5)
    window.step("mousemove", *window.screen_point(FIRST_ITEM))
    window.step("click", "1")
    assert window.wait_for_line("onselchange", 10) == "onselchange combo"
    time.sleep(0.5)
    assert count(window, "onselchange combo") == 1, window.lines()


def test_each_enter_in_a_rich_edit_fires_onreturn_once(show, tmp_path):
    window = start(show, tmp_path)
    window.point_at(EDIT)
    window.step("click", "1")
    window.step("type", "hello")
    window.step("key", "Return")
    assert window.wait_for_line("onreturn", 10) == "onreturn edit"
    window.step("type", "world")
    window.step("key", "Return")
    time.sleep(0.5)
    assert count(window, "onreturn edit") == 2, window.lines()
