"""`uilibtool show SKIN WINDOW_ID` under Wine on the harness's Xvfb, driven by xdotool:
a real click on the installer's install button reaches its handler, pressing on a movable
element and moving drags the window, and Alt+F4 closes nothing unless a handler that
"onclose" binds takes the event (the tool's printing handler never does).
"""
from __future__ import annotations

import os
import subprocess
import time
from pathlib import Path

import pytest

import wine_harness
from uilibtool_runner import SKIN, TOOL

# Install button and a movable area of the Welcome window, in client coordinates.
INSTALL_BUTTON = (232 + 65, 237 + 16)
MOVABLE_AREA = (300, 120)

CLOSE_SKIN = """<?xml version="1.0" encoding="utf-8"?>
<uilib>
  <window id="Closable" windowstyle="WS_POPUP|WS_VISIBLE" width="200" height="120" left="40" top="40"
          title="closable" onclose="uilib::OnClose" style="background:argb(255,40,120,200)">
    <element id="inner" movable="true" style="width:100%;height:100%"/>
  </window>
</uilib>
"""


class ShownWindow:
    """One `uilibtool show` process, its output file and its X window."""

    def __init__(self, prefix: wine_harness.WinePrefix, skin: str, window_id: str, out: Path) -> None:
        self.env = prefix.env
        self.out = out
        with open(out, "wb") as stdout:
            self.proc = subprocess.Popen([prefix.loader, TOOL, "show", skin, window_id], env=self.env,
                                         stdin=subprocess.DEVNULL, stdout=stdout, stderr=subprocess.STDOUT)
        shown = self.wait_for_line("shown ", 60)
        _, _, x, y, w, h = shown.split()
        self.origin = (int(x), int(y))
        self.size = (int(w), int(h))
        self.xid = self._find_x_window()

    def lines(self) -> list[str]:
        return self.out.read_text(encoding="utf-8", errors="replace").splitlines()

    def wait_for_line(self, prefix: str, timeout: float) -> str:
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for line in self.lines():
                if line.startswith(prefix):
                    return line
            if self.proc.poll() is not None:
                pytest.fail(f"uilibtool ended with {self.proc.returncode}: {self.lines()}")
            time.sleep(0.1)
        pytest.fail(f"no line starting with {prefix!r} within {timeout} s: {self.lines()}")

    def xdotool(self, *args: str) -> str:
        return subprocess.run(["timeout", "10", "xdotool", *args], env=self.env, capture_output=True,
                              text=True).stdout

    def _find_x_window(self) -> str:
        # The visible X window of this size at the reported place (others may share the display).
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            for xid in self.xdotool("search", "--onlyvisible", "--pid", str(self.proc.pid), "").split():
                if self.geometry(xid) == (*self.origin, *self.size):
                    return xid
            time.sleep(0.2)
        pytest.fail("the shown window was not found on the display")

    def geometry(self, xid: str | None = None) -> tuple[int, ...] | None:
        out = self.xdotool("getwindowgeometry", "--shell", xid or self.xid)
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        try:
            return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
        except KeyError:
            return None

    def screen_point(self, client: tuple[int, int]) -> tuple[str, str]:
        x, y = self.geometry()[:2]
        return str(x + client[0]), str(y + client[1])

    def point_at(self, client: tuple[int, int]) -> None:
        """Moves the pointer over a client point of this window, raising it first if
        another window of the shared display covers the point."""
        for _ in range(3):
            self.step("mousemove", *self.screen_point(client))
            under = dict(line.split("=", 1) for line in self.xdotool("getmouselocation", "--shell").splitlines()
                         if "=" in line)
            if under.get("WINDOW") == self.xid:
                return
            self.step("windowraise", self.xid)
        pytest.fail("another window covers the shown window")

    def step(self, *args: str) -> None:
        self.xdotool(*args)
        time.sleep(0.3)

    def close(self) -> None:
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait(timeout=30)


@pytest.fixture
def show(wine, tmp_path):
    shown: list[ShownWindow] = []

    def start(skin: str = SKIN, window_id: str = "Welcome") -> ShownWindow:
        window = ShownWindow(wine, skin, window_id, tmp_path / f"show{len(shown)}.out")
        shown.append(window)
        window.step("windowraise", window.xid)
        return window

    yield start
    for window in shown:
        window.close()


def test_click_on_install_button_calls_its_handler(show):
    window = show()
    window.point_at(INSTALL_BUTTON)
    window.step("click", "1")
    assert window.wait_for_line("onclick", 10) == "onclick install-btn"


def test_pressing_on_a_movable_element_and_moving_drags_the_window(show):
    window = show()
    x, y = window.geometry()[:2]
    window.point_at(MOVABLE_AREA)
    window.step("mousedown", "1")
    window.step("mousemove_relative", "--", "20", "15")
    window.step("mousemove_relative", "--", "30", "25")
    window.step("mouseup", "1")
    moved = window.geometry()[:2]
    assert moved == (x + 50, y + 40), window.xdotool("getmouselocation")
    # The press dragged: no element got a click.
    assert not any(line.startswith("onclick") for line in window.lines())


def alt_f4(window: ShownWindow) -> None:
    window.point_at(MOVABLE_AREA if window.size[0] > 300 else (100, 60))
    window.step("click", "1")  # focus
    window.step("key", "alt+F4")


def test_alt_f4_without_onclose_binding_leaves_the_window_open(show):
    window = show()
    alt_f4(window)
    time.sleep(0.5)
    assert window.proc.poll() is None
    assert window.geometry() is not None


def test_alt_f4_reaches_onclose_whose_unhandled_answer_keeps_the_window(show, tmp_path):
    skin = tmp_path / "closable.xml"
    skin.write_text(CLOSE_SKIN, encoding="utf-8")
    window = show("Z:" + str(skin).replace("/", "\\"), "Closable")
    alt_f4(window)
    assert window.wait_for_line("onclose", 10) == "onclose Closable"
    assert window.proc.poll() is None
