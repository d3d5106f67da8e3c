"""`uilibtool tree SKIN WINDOW_ID` under Wine: the element tree of a skin window as JSON.

The tool and the skin come from the build under test (see uilibtool_runner.py).
"""
import json

import pytest

from uilibtool_runner import SKIN, run_tool


def tree(skin, window):
    code, out, err = run_tool("tree", str(skin), window)
    assert code == 0, err
    return json.loads(out), err


def kinds(element):
    return [c["kind"] for c in element["children"]]


def test_welcome_window_tree():
    root, _ = tree(SKIN, "welcome")  # window ids are matched ignoring case
    assert (root["tag"], root["kind"], root["id"]) == ("window", "CUILibWindow", "Welcome")
    assert root["style"]["background"]["image"]["reference"] == "res(self,PNG_BACK1,PNG)"
    assert len(root["children"]) == 1
    body = root["children"][0]
    assert body["style"]["width"] == {"kind": "percent", "value": 100.0}
    rows = body["children"]
    assert len(rows) == 8
    assert kinds(rows[2]) == ["CUILibImage", "CUILibLabel", "CUILibElement",
                              "CUILibVirtualBtn", "CUILibElement", "CUILibVirtualBtn"]
    assert [rows[2]["children"][i]["id"] for i in (3, 5)] == ["min-btn", "close-btn"]
    assert rows[5]["id"] == "install-btn"

    title = rows[2]["children"][1]["style"]
    assert title["color"] == "0xFE5B5B5B"
    assert (title["font"]["family"], title["font"]["size"], title["font"]["style"]) == ("微软雅黑", 16, 0)

    consent = rows[7]["children"]
    assert kinds(rows[7]) == ["CUILibElement"] * 3 + ["CUILibLabel", "CUILibAnchor"]
    assert consent[2]["style"]["padding"] == {"left": 0.0, "top": 2.0, "right": 0.0, "bottom": 3.0}
    assert consent[2]["children"][0]["kind"] == "CUILibVirtualCheckBox"
    anchor = consent[4]["style"]
    assert anchor["width"] == {"kind": "auto"}
    assert anchor["font"]["underline"] and anchor["hovered_font"]["underline"]
    assert anchor["hovered_color"] == "0xFE956A08"


def test_install_window_tree():
    root, _ = tree(SKIN, "Install")
    rows = root["children"][0]["children"]
    assert len(rows) == 7  # the commented-out circular progress produces nothing
    assert rows[5]["children"][0]["id"] == "install-progress"
    assert rows[6]["style"]["margin"] == {"left": 40.0, "top": 11.0, "right": 40.0, "bottom": 11.0}
    assert rows[6]["children"][0]["kind"] == "CUILibVirtualProcessBar"


def test_font_fallback_line_goes_to_stderr_and_json_stays_clean(tmp_path):
    skin = tmp_path / "fallback.xml"
    skin.write_text('<uilib><window id="w"><label style="font:bold 9px NoSuchFamily;"/></window></uilib>',
                    encoding="utf-8")
    root, err = tree(skin, "w")
    font = root["children"][0]["style"]["font"]
    assert font["fallback"] is True and font["bold"] is True and font["size"] == 9
    assert "字体[NoSuchFamily]不存在，使用仿宋体" in err


@pytest.mark.parametrize("content, window, expected_code, message", [
    (None, "w", 2, "cannot read skin file"),
    ("<uilib><window id='w'></uilib>", "w", 3, "XML error"),
    ("<skin><window id='w'/></skin>", "w", 3, "not <uilib>"),
    ("<uilib><Window id='w'/></uilib>", "w", 4, "no window with id 'w'"),
])
def test_errors_give_a_message_and_an_exit_code(tmp_path, content, window, expected_code, message):
    skin = tmp_path / "skin.xml"
    if content is not None:
        skin.write_text(content, encoding="utf-8")
    code, out, err = run_tool("tree", str(skin), window)
    assert code == expected_code
    assert out == ""
    assert message in err


def test_usage():
    code, out, err = run_tool("dump")
    assert code == 1 and out == "" and "usage: uilibtool tree" in err
