"""`uilibtool layout SKIN WINDOW_ID [--size WxH]` under Wine: the installer's two windows
lay out to their fixed rectangles, with label widths from GDI+ text measurement.

The tool and the skin come from the build under test (see uilibtool_runner.py).
"""
import json

from uilibtool_runner import SKIN, run_tool


def layout(*args):
    code, out, err = run_tool("layout", str(SKIN), *args)
    assert code == 0, err
    return json.loads(out)


def rect(element):
    r = element["rect"]
    return [r["x"], r["y"], r["w"], r["h"]]


def rects(elements):
    return [rect(e) for e in elements]


def test_welcome_window_rectangles():
    root = layout("Welcome")
    assert rect(root) == [0, 0, 608, 322]
    body = root["children"][0]
    assert rect(body) == [0, 0, 608, 322]
    rows = body["children"]
    assert rects(rows) == [[0, 0, 608, 20], [0, 20, 22, 32], [22, 20, 586, 32], [0, 52, 608, 185],
                           [0, 237, 232, 32], [232, 237, 130, 32], [362, 237, 246, 32], [0, 269, 608, 53]]
    assert rects(rows[2]["children"]) == [[22, 20, 29, 32], [51, 20, 200, 32], [251, 20, 280, 32],
                                          [531, 20, 16, 16], [547, 20, 10, 16], [557, 20, 16, 16]]
    consent = rows[7]["children"]
    assert rects(consent[:3]) == [[0, 269, 608, 15], [0, 284, 25, 20], [25, 284, 15, 20]]
    assert rect(consent[2]["children"][0]) == [25, 286, 15, 15]
    assert consent[2]["children"][0]["id"] == "verify-checkbox"
    label, anchor = consent[3], consent[4]
    assert (label["tag"], anchor["tag"]) == ("label", "anchor")
    lx, ly, lw, lh = rect(label)
    ax, ay, aw, ah = rect(anchor)
    assert (lx, ly, lh) == (40, 284, 20)
    assert lw == int(lw) and 40 < lw < 200  # measured, rounded up to whole pixels
    assert (ax, ay, ah) == (40 + lw, 284, 20)
    assert 40 < aw < 200


def test_install_window_rectangles():
    root = layout("Install")
    rows = root["children"][0]["children"]
    assert rects(rows) == [[0, 0, 608, 22], [0, 22, 12, 16], [12, 22, 596, 16], [0, 38, 608, 183],
                           [0, 221, 608, 25], [40, 246, 528, 25], [40, 282, 528, 25]]
    assert rects(rows[2]["children"]) == [[12, 22, 520, 16], [532, 22, 16, 16], [548, 22, 10, 16],
                                          [558, 22, 16, 16]]
    progress = rows[5]["children"][0]
    assert (progress["id"], rect(progress)) == ("install-progress", [40, 246, 300, 25])
    bar = rows[6]["children"][0]
    assert (bar["id"], rect(bar)) == ("circle-proc", [40, 282, 520, 3])


def test_size_option_and_bad_input():
    root = layout("Install", "--size", "300x100")
    assert rect(root) == [0, 0, 300, 100]
    assert rect(root["children"][0]) == [0, 0, 300, 100]
    code, _, err = run_tool("layout", str(SKIN), "Install", "--size", "300by100")
    assert code == 1 and "--size" in err
    code, _, err = run_tool("layout", str(SKIN), "NoSuchWindow")
    assert code == 4 and "NoSuchWindow" in err
