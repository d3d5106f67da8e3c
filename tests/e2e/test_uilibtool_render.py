"""`uilibtool render SKIN WINDOW_ID OUT.png` under Wine: the installer's Welcome window
is painted through its layered memory surface and saved as a PNG whose plain background
is the skin's background image, tiled from the window's corner.
"""
from pathlib import Path

import pytest

from png_pixels import Png
from uilibtool_runner import SKIN, run_tool

IMAGES = Path(__file__).resolve().parents[2] / "installer" / "res" / "images"
# Points of the Welcome window where only the background shows.
BACKGROUND_POINTS = [(300, 10), (5, 100), (590, 200), (400, 315), (450, 60)]


def wine_path(path: Path) -> str:
    return "Z:" + str(path).replace("/", "\\")


@pytest.fixture(scope="module")
def welcome(tmp_path_factory):
    out = tmp_path_factory.mktemp("render") / "welcome.png"
    code, _, err = run_tool("render", SKIN, "Welcome", wine_path(out))
    assert code == 0, err
    return Png(out)


def test_welcome_picture_has_the_window_size_and_the_background_pixels(welcome):
    assert (welcome.width, welcome.height) == (608, 322)
    background = Png(IMAGES / "back1.png")
    for x, y in BACKGROUND_POINTS:
        assert background.pixel(x, y)[3] == 255
        assert welcome.pixel(x, y) == background.pixel(x, y), (x, y)
    # 608 columns of a 606-pixel image: the texture starts again at column 606.
    assert welcome.pixel(606, 150) == background.pixel(0, 150)


def test_welcome_picture_shows_the_install_button_over_the_background(welcome):
    background = Png(IMAGES / "back1.png")
    button = [(x, y) for x in range(240, 360, 10) for y in range(242, 266, 6)]
    assert sum(welcome.pixel(x, y) != background.pixel(x, y) for x, y in button) > len(button) // 2


def test_bad_arguments_give_their_exit_codes(tmp_path):
    out = wine_path(tmp_path / "x.png")
    code, _, err = run_tool("render", SKIN, "NoSuchWindow", out)
    assert code == 4 and "NoSuchWindow" in err
    code, _, err = run_tool("render", wine_path(tmp_path / "missing.xml"), "Welcome", out)
    assert code == 2
    code, _, err = run_tool("render", SKIN, "Welcome")
    assert code == 1 and "usage" in err
    assert not (tmp_path / "x.png").exists()
