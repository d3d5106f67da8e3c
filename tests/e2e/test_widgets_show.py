"""The installer's widgets under real mouse input: `uilibtool show` on the Welcome
window, driven by xdotool on the harness's display and checked on screen grabs. The
install button shows its hovered look under the pointer and its pressed look while the
button is held; the consent box toggles on each click and its handler call follows."""
from __future__ import annotations

import subprocess
import time

from png_pixels import Png
from test_uilibtool_show import show  # noqa: F401  (the fixture that starts the tool)
from widget_frames import shown_frame

INSTALL_BUTTON = (232, 237)
INSTALL_SIZE = (130, 32)
CONSENT_BOX = (25, 286)
CONSENT_SIZE = (15, 15)
EMPTY_AREA = (300, 120)


def grab(window, tmp_path, name: str) -> tuple[Png, tuple[int, int]]:
    """The screen and the window's client origin on it."""
    out = tmp_path / f"{name}.png"
    subprocess.run(["timeout", "20", "import", "-window", "root", "-depth", "8", f"PNG24:{out}"],
                   env=window.env, check=True)
    x, y = window.geometry()[:2]
    return Png(out), (x, y)


def frame_on_screen(window, tmp_path, name: str, client: tuple[int, int], texture: str,
                    size: tuple[int, int], expected: int, timeout: float = 5.0) -> int:
    """The frame shown once it is `expected` (the window repaints asynchronously to
    the X server), or the last one seen when the timeout passes."""
    deadline = time.monotonic() + timeout
    while True:
        screen, (x, y) = grab(window, tmp_path, name)
        frame = shown_frame(screen, (x + client[0], y + client[1]), texture, size)
        if frame == expected or time.monotonic() > deadline:
            return frame
        time.sleep(0.2)


def centre(origin: tuple[int, int], size: tuple[int, int]) -> tuple[int, int]:
    return origin[0] + size[0] // 2, origin[1] + size[1] // 2


def test_install_button_hover_and_press_looks(show, tmp_path):
    window = show()
    def look(name: str, expected: int) -> int:
        return frame_on_screen(window, tmp_path, name, INSTALL_BUTTON, "install1.png", INSTALL_SIZE, expected)
    window.point_at(EMPTY_AREA)
    assert look("normal", 0) == 0
    window.point_at(centre(INSTALL_BUTTON, INSTALL_SIZE))
    assert look("hovered", 1) == 1
    window.step("mousedown", "1")
    assert look("pressed", 2) == 2
    window.step("mouseup", "1")
    assert window.wait_for_line("onclick", 10) == "onclick install-btn"
    assert look("released", 1) == 1
    window.point_at(EMPTY_AREA)
    assert look("left", 0) == 0


def test_consent_box_toggles_on_each_click(show, tmp_path):
    window = show()
    def look(name: str, expected: int) -> int:
        return frame_on_screen(window, tmp_path, name, CONSENT_BOX, "check1.png", CONSENT_SIZE, expected)
    assert look("initial", 4) == 4  # checked, normal
    window.point_at(centre(CONSENT_BOX, CONSENT_SIZE))
    assert look("hovered", 5) == 5  # checked, hovered
    window.step("click", "1")
    assert window.wait_for_line("onclick", 10) == "onclick verify-checkbox"
    assert look("unchecked", 1) == 1  # unchecked, hovered
    window.step("click", "1")
    assert sum(line == "onclick verify-checkbox" for line in window.lines()) == 2
    assert look("checked again", 5) == 5
    window.point_at(EMPTY_AREA)
    assert look("left", 4) == 4
