"""The widget gallery rendered by scripts/widget_gallery.py with the build's uilibtool:
every window renders, and its pictures show the kinds' main cases (keepaspect fitting,
the tool's sample image provider, the first page of a page frame, the ad's picture, the
highlight button and the native controls)."""
import json
import subprocess
import sys

import pytest

from png_pixels import Png
from uilibtool_runner import TOOL, run_tool
import wine_harness


@pytest.fixture(scope="module")
def gallery(tmp_path_factory):
    out = tmp_path_factory.mktemp("gallery")
    proc = subprocess.run([sys.executable, str(wine_harness.SCRIPTS / "widget_gallery.py"), "--tool", TOOL,
                           "--out", str(out)], capture_output=True, text=True, timeout=600)
    assert proc.returncode == 0, proc.stdout + proc.stderr
    printed = dict(line.split(": ", 1) for line in proc.stdout.splitlines())
    assert {"image", "pages", "ad", "scroll", "decorated", "native"} <= set(printed)
    pictures = {name: Png(path) for name, path in printed.items()}
    pictures["skin"] = out / "site" / "gallery_skin.xml"
    return pictures


def states(skin, window_id):
    """Element id -> printed state, for the elements of the window that have one."""
    code, out, err = run_tool("tree", "Z:" + str(skin).replace("/", "\\"), window_id)
    assert code == 0, err
    found = {}

    def walk(element):
        if "state" in element:
            found[element["id"]] = element["state"]
        for child in element["children"]:
            walk(child)
    walk(json.loads(out))
    return found


def test_image_window_fits_and_provides(gallery):
    image = gallery["image"]
    # keepaspect center: the 200 x 100 picture in the 120 x 120 element at (0, 20)
    # covers rows 50..109 only; the background shows above and below.
    assert image.pixel(5, 45)[:3] == (240, 240, 240)
    assert image.pixel(5, 55)[0] > 150
    assert image.pixel(5, 115)[:3] == (240, 240, 240)
    # keepaspect left stretches over the whole element.
    assert image.pixel(285, 25)[:3] != (240, 240, 240)
    # The sample provider's four quadrants in the 60 x 60 element at (440, 170).
    assert image.pixel(450, 180)[:3] == (220, 60, 60)
    assert image.pixel(490, 220)[:3] == (230, 200, 40)


def test_pages_window_shows_the_first_page(gallery):
    assert gallery["pages"].pixel(150, 100)[:3] == (208, 64, 64)
    assert gallery["pages"].pixel(5, 5)[:3] == (240, 240, 240)


def test_ad_window_shows_a_picture(gallery):
    assert gallery["ad"].pixel(80, 50)[:3] != (240, 240, 240)


def test_scroll_window_shows_the_thumb_at_the_top_of_its_track(gallery):
    scroll = gallery["scroll"]
    # The 12-pixel bar at (220, 10): the thumb's nine-grid from its top, the
    # track's colour below the thumb.
    assert scroll.pixel(226, 25)[:3] != (210, 210, 210)
    assert scroll.pixel(226, 125)[:3] == (210, 210, 210)
    # The label's first line is at its top.
    assert any(scroll.pixel(x, 18)[0] < 128 for x in range(12, 60))


def test_decorated_window_is_drawn_over_its_decoration(gallery):
    decorated = gallery["decorated"]
    # The 300 x 200 shadow with the 260 x 160 window at (20, 20) over it.
    assert decorated.pixel(150, 100)[:3] == (250, 250, 250)
    assert decorated.pixel(30, 30)[:3] == (60, 120, 220)
    assert 0 < decorated.pixel(10, 100)[3] < 255


def test_native_window_shows_the_highlight_and_the_controls(gallery):
    native = gallery["native"]
    # The selected button's outline along its top edge (under the translucent fill).
    outline = native.pixel(190, 0)[:3]
    assert all(abs(a - b) <= 8 for a, b in zip(outline, (185, 215, 252))), outline
    # The native check box, combo box and rich edit are printed into the layered surface.
    for point in ((10, 50), (90, 86), (200, 150)):
        assert native.pixel(*point)[:3] != (240, 240, 240), point


def test_tree_prints_widget_state(gallery):
    bar = states(gallery["skin"], "scroll")["textbar"]
    assert bar["scroll"]["size"] == 28 and bar["bar"]["size"] == 60
    # Laid out: the label's text sets range and page, the bar its rectangle
    # (220, 10, 232, 130) and a thumb as long as page / range of 120 pixels.
    assert bar["scroll"]["page"] == 120 and bar["scroll"]["maximum"] > 120
    assert bar["bar"]["rect"] == [220, 10, 232, 130]
    length = int(120 / bar["scroll"]["maximum"] * 120)
    assert (bar["bar"]["thumb_top"], bar["bar"]["thumb_bottom"]) == (0, max(length, 40))
    assert bar["bar"]["state"] == [0] * 6
    image = states(gallery["skin"], "image")
    assert image["gif"]["frames"] == 2
    assert image["nearest"]["interpolation"] == 5
    assert image["keep-center"]["picture"] == {"width": 200.0, "height": 100.0}
    assert image["keep-bottomleft"]["keepaspect"] == "bottomleft"
    assert image["remote"]["remote"] is True
    assert states(gallery["skin"], "pages")["frame"] == {"pages": 3, "current_page": 0}
    assert states(gallery["skin"], "ad")["ad"]["target"] == ""
