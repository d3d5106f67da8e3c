"""The installer's windows as `uilibtool render` paints them: every element of the
skin shows in its initial look (normal buttons, checked consent box, empty progress
bar, caption text)."""
from pathlib import Path

import pytest

from png_pixels import Png
from uilibtool_runner import SKIN, run_tool
from widget_frames import IMAGES, shown_frame

# Client rectangles of the Welcome and Install windows' widgets (x, y, w, h).
WELCOME_MIN = (531, 20, 16, 16)
WELCOME_CLOSE = (557, 20, 16, 16)
INSTALL_BUTTON = (232, 237, 130, 32)
CONSENT_BOX = (25, 286, 15, 15)
INSTALL_MIN = (532, 22, 16, 16)
INSTALL_CLOSE = (558, 22, 16, 16)
PROGRESS_BAR = (40, 282, 520, 3)
PROGRESS_LABEL = (40, 246, 300, 25)


def wine_path(path: Path) -> str:
    return "Z:" + str(path).replace("/", "\\")


def render(tmp_path_factory, window_id: str) -> Png:
    out = tmp_path_factory.mktemp("widgets") / f"{window_id}.png"
    code, _, err = run_tool("render", SKIN, window_id, wine_path(out))
    assert code == 0, err
    return Png(out)


@pytest.fixture(scope="module")
def welcome(tmp_path_factory):
    return render(tmp_path_factory, "Welcome")


@pytest.fixture(scope="module")
def install(tmp_path_factory):
    return render(tmp_path_factory, "Install")


def test_welcome_buttons_and_consent_box_show_their_initial_frames(welcome):
    assert shown_frame(welcome, WELCOME_MIN[:2], "min1.png", (16, 16)) == 0
    assert shown_frame(welcome, WELCOME_CLOSE[:2], "close1.png", (16, 16)) == 0
    assert shown_frame(welcome, INSTALL_BUTTON[:2], "install1.png", (130, 32)) == 0
    # Checked, normal: the fifth frame.
    assert shown_frame(welcome, CONSENT_BOX[:2], "check1.png", (15, 15)) == 4


def test_welcome_logo_and_texts_are_drawn(welcome):
    background = Png(IMAGES / "back1.png")
    # The logo (an image drawn stretched into its rectangle), the caption beside
    # it, and the consent line with its anchor.
    for x0, y0, w, h in [(22, 20, 29, 32), (51, 20, 200, 32), (40, 284, 94, 20), (134, 284, 100, 20)]:
        changed = sum(welcome.pixel(x, y) != background.pixel(x % 606, y)
                      for x in range(x0, x0 + w) for y in range(y0, y0 + h))
        assert changed > 20, (x0, y0)


def test_install_window_shows_its_buttons_and_an_empty_bar(install):
    assert shown_frame(install, INSTALL_MIN[:2], "min2.png", (16, 16)) == 0
    assert shown_frame(install, INSTALL_CLOSE[:2], "close2.png", (16, 16)) == 0
    background = Png(IMAGES / "back2.png")
    x0, y0, w, h = PROGRESS_BAR
    # At 0 % the bar draws nothing over the background.
    assert all(install.pixel(x, y) == background.pixel(x, y) for x in range(x0, x0 + w) for y in range(y0, y0 + h))
    x0, y0, w, h = PROGRESS_LABEL
    assert sum(install.pixel(x, y) != background.pixel(x, y) for x in range(x0, x0 + w) for y in range(y0, y0 + h)) > 20
