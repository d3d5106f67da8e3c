"""installer.exe end to end: a full install by mouse, and installing over an
existing installation. Real windows on the virtual display, real files and
registry in the build's Wine prefix."""

from __future__ import annotations

import time
import zlib
from pathlib import Path, PureWindowsPath

import pytest

from installer_driver import (DOCUMENT_CLASS_KEY, STARTMENU_KEY, TASK_NAME, Display,
                              InstallerMachine, InstallerRun, Picture, ShellTray, Skin,
                              registry_rows, shell_link_fields)
from wine_harness import parse_job_file

BAR_ROW_OFFSET = 1  # the middle row of the 3-pixel bar


@pytest.fixture(scope="session")
def installer_exe(windows_build: Path) -> Path:
    path = windows_build / "installer" / "installer.exe"
    if not path.is_file():
        pytest.skip(f"{path} not built")
    return path


@pytest.fixture(scope="session")
def package_manifest(windows_build: Path) -> dict[str, tuple[int, int]]:
    """name -> (size, CRC-32) of every file of the package the installer carries."""
    path = windows_build / "tools" / "sample_package" / "velko_browser_sample.rar.manifest.tsv"
    if not path.is_file():
        pytest.skip(f"{path} not built")
    entries = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        name, size, crc = line.split("\t")
        entries[name.replace("\\", "/")] = (int(size), int(crc, 16))
    return entries


@pytest.fixture(scope="session")
def skin(wine) -> Skin:
    return Skin()


@pytest.fixture(scope="module", autouse=True)
def shell_tray(wine, windows_build: Path):
    program = windows_build / "installer" / "tests" / "shell_tray_stand_in.exe"
    if not program.is_file():
        pytest.skip(f"{program} not built")
    tray = ShellTray(wine, program)
    yield tray
    tray.stop()


@pytest.fixture
def display(wine) -> Display:
    return Display(wine)


@pytest.fixture
def machine(wine):
    machine = InstallerMachine(wine)
    machine.clean()
    yield machine
    machine.clean()


def bar_fill(frame: Picture, skin: Skin) -> float:
    """Fraction of the progress bar's row that is painted in the bar's blue."""
    bar = skin.rects["Install"]["circle-proc"]
    y = int(bar["y"]) + BAR_ROW_OFFSET
    x0, width = int(bar["x"]), int(bar["w"])
    blue = sum(1 for x in range(x0, x0 + width)
               if (lambda p: p[2] > p[0] + 60)(frame.pixel(x, y)))
    return blue / width


def text_matches(frame: Picture, skin: Skin, text: str, others: list[str]) -> bool:
    """The label area is closer to the rendering of `text` than to any of `others`."""
    area = frame.region(skin.rects["Install"]["install-progress"])
    mine = area.distance(skin.progress_text_reference(text))
    return all(mine < area.distance(skin.progress_text_reference(o)) for o in others) and mine < 8


def text_shows_bar(frame: Picture, skin: Skin, fill: float) -> bool:
    """The label shows the bar's percentage, rather than 0 % or 100 %. Label
    and bar reach the screen in one push; the bar's measured fill is a pixel
    count, so the text may differ from it by a point or two."""
    shown = round(fill * 100)
    near = range(max(0, shown - 3), min(100, shown + 3) + 1)
    far = [o for o in (0, 100) if o not in near]
    text = "正在安装({} %)".format
    return any(text_matches(frame, skin, text(n), [text(o) for o in far]) for n in near)


def click_install(run: InstallerRun, display: Display, skin: Skin, welcome: str,
                  settle: float = 0.3) -> str | None:
    """Clicks the install button; the Install window, or None when the installer
    already ended (the sample package installs in a fraction of a second)."""
    # The Install window has the Welcome window's size; a question box the
    # worker raises at once may be found as early as the window itself.
    size = display.geometry(welcome)[2:]
    display.click(welcome, *skin.center("Welcome", "install-btn"))
    return run.wait_window(timeout=30, other_than=welcome, settle=settle, size=size, or_exit=True)


def wait_for(predicate, timeout: float) -> bool:
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.2)
    return predicate()


def assert_package_installed(machine: InstallerMachine, manifest: dict[str, tuple[int, int]]) -> None:
    for name, (size, crc) in manifest.items():
        path = machine.install_dir / name
        assert path.is_file(), f"{name} missing"
        data = path.read_bytes()
        assert (len(data), zlib.crc32(data)) == (size, crc), f"{name} has other bytes"


def test_full_install_by_mouse(wine, installer_exe, display, skin, machine, package_manifest,
                               tmp_path: Path):
    run = InstallerRun(wine, installer_exe, display)
    try:
        welcome = run.wait_window()
        display.save(welcome, tmp_path / "welcome.png")
        x, y, w, h = display.geometry(welcome)
        assert (w, h) == (608, 322)
        screen_w, screen_h = (int(v) for v in display.xdotool("getdisplaygeometry").split())
        assert abs(x + w / 2 - screen_w / 2) <= 2 and abs(y + h / 2 - screen_h / 2) <= 2

        button = skin.rects["Welcome"]["install-btn"]
        enabled_look = display.grab(welcome).region(button)
        # Unchecking consent disables the install button: it looks different
        # and a click on it does nothing.
        display.click(welcome, *skin.center("Welcome", "verify-checkbox"))
        time.sleep(0.8)
        display.click(welcome, *skin.center("Welcome", "install-btn"))
        time.sleep(1.5)
        assert run.windows() == [welcome]
        assert not machine.install_dir.exists()
        display.xdotool("mousemove", "0", "0")
        time.sleep(0.5)
        disabled_look = display.grab(welcome).region(button)
        assert disabled_look.distance(enabled_look) > 3, "the button looks the same when disabled"

        display.click(welcome, *skin.center("Welcome", "verify-checkbox"))
        time.sleep(0.8)
        frames = run.click_and_watch(welcome, *skin.center("Welcome", "install-btn"))
        assert run.wait_exit() == 0
    finally:
        run.kill()

    # The bar only grows, and the text says what the bar shows. 100 % is shown
    # at once after the last file, but only while the shortcuts are made and
    # the programs started, so the last picture may be taken a little before
    # it. The sample package unpacks in a fraction of a second, so the first
    # pictures may or may not catch 0 % (the very first may still show the
    # skin's own text). The pictures begin with the Welcome window and end
    # with what lies beneath the windows: only the Install window's count.
    frames = [f for f in frames if skin.shows(f, "Install") and min(f.pixel(f.width // 2, 60)) > 200]
    fills = [bar_fill(f, skin) for f in frames]
    assert fills, "no picture of the Install window"
    assert all(b >= a - 0.01 for a, b in zip(fills, fills[1:])), fills
    empty = [f for f, fill in zip(frames, fills) if fill == 0.0]
    if empty:
        assert text_matches(empty[-1], skin, "正在安装(0 %)", ["正在安装(100 %)", "正在下载 70%"])
    assert fills[-1] > 0.5, fills
    assert text_shows_bar(frames[-1], skin, fills[-1]), fills[-1]

    assert_package_installed(machine, package_manifest)

    rows = registry_rows(wine)
    assert len(rows) == 44, sorted(rows)
    client = STARTMENU_KEY.replace("HKLM", "HKEY_LOCAL_MACHINE")
    chrome = machine.install_dir_windows + r"\chrome.exe"
    assert rows[(client, "")] == "sz:Velko Browser"
    assert rows[(client + r"\Capabilities", "ApplicationName")] == "sz:岚石浏览器"
    assert rows[(client + r"\Capabilities\URLAssociations", "https")] == "sz:ChromiumHTM"
    assert rows[(client + r"\InstallInfo", "IconsVisible")] == "dword:00000001"
    assert rows[(client + r"\shell", None)] == ""
    assert rows[(client + r"\shell\open\command", "")] == f'sz:"{chrome}"'
    document = DOCUMENT_CLASS_KEY.replace("HKCR", "HKEY_CLASSES_ROOT")
    assert rows[(document + r"\shell\open\command", "")] == f'sz:"{chrome}" -- "%1"'
    assert rows[(document + r"\DefaultIcon", "")] == f"sz:{chrome},0"

    shortcuts = machine.shortcuts()
    assert len(shortcuts) == 1
    link = shell_link_fields(shortcuts[0].read_bytes())
    assert PureWindowsPath(link.get("target", "")) == PureWindowsPath(chrome)
    assert link.get("working") == machine.install_dir_windows

    assert wait_for(lambda: "end\r\n" in machine.browser_record(), 30), "chrome.exe did not start"
    record = machine.browser_record()
    assert f'command_line="{chrome}"\r\n' in record
    assert "arguments=0\r\n" in record
    # The updater, started last, registers its logon task, naming itself where
    # it really is (for a 32-bit build in a 64-bit Windows: Program Files (x86)).
    assert wait_for(lambda: wine.task_file(TASK_NAME).exists(), 60), "the updater did not run"
    job = parse_job_file(wine.task_file(TASK_NAME).read_bytes())
    assert str(PureWindowsPath(job.application)).lower() == \
        str(PureWindowsPath(machine.install_dir_windows, "updater.exe")).lower()
    assert machine.temp_archives() == []
    if wine.programs_32bit:
        # The rows of a 32-bit installer land where 64-bit Windows puts them.
        assert machine.install_dir_windows.startswith("C:\\Program Files (x86)\\")
        wow64_key = STARTMENU_KEY.replace("SOFTWARE", r"SOFTWARE\WOW6432Node")
        assert wine.reg("query", wow64_key, view="64").returncode == 0
        assert wine.reg("query", STARTMENU_KEY, view="64").returncode != 0


def test_installing_over_an_installation_keeps_extra_files_and_replaces_changed_ones(
        wine, installer_exe, display, skin, machine, package_manifest):
    machine.install_dir.mkdir(parents=True)
    (machine.install_dir / "extra.txt").write_text("mine")
    (machine.install_dir / "wow_helper.exe").write_bytes(b"an older helper")
    run = InstallerRun(wine, installer_exe, display)
    try:
        click_install(run, display, skin, run.wait_window())
        assert run.wait_exit() == 0
    finally:
        run.kill()
    assert (machine.install_dir / "extra.txt").read_text() == "mine"
    assert_package_installed(machine, package_manifest)
