"""installer.exe end to end: the ways a run ends other than a plain install —
closing, a second copy, the running-browser question, minimising, a package
that does not open, one with a file that fails its checksum, and one whose
entry names try to leave the install folder."""

from __future__ import annotations

import subprocess
import time
from pathlib import Path

import pytest

from installer_driver import STARTMENU_KEY, InstallerRun
from test_installer_install import (  # noqa: F401  (fixtures)
    assert_package_installed, bar_fill, click_install, display, installer_exe, machine,
    package_manifest, shell_tray, skin, text_matches, wait_for)

BOX_TITLE = "提示"
FAILURE_TITLE = "岚石浏览器安装"


@pytest.fixture(scope="session")
def test_installers(windows_build: Path) -> Path:
    folder = windows_build / "installer" / "tests"
    if not (folder / "installer_corrupt_package.exe").is_file():
        pytest.skip("the test installers are not built")
    return folder


def nothing_installed(wine, machine) -> bool:
    return (not machine.install_dir.exists() and wine.reg_export(STARTMENU_KEY) is None
            and machine.shortcuts() == [] and machine.temp_archives() == [])


def boxes(display, run: InstallerRun, title: str = BOX_TITLE) -> list[str]:
    return display.xdotool("search", "--onlyvisible", "--pid", str(run.process.pid), "--name",
                           f"^{title}$").split()


def answer_box(display, run: InstallerRun, key: str, title: str = BOX_TITLE) -> None:
    # The window search can miss a box that is being shown or raised; look
    # again for a while before giving up.
    found: list[str] = []

    def box_shown() -> bool:
        found[:] = boxes(display, run, title)
        return bool(found)

    assert wait_for(box_shown, 10), "no question box"
    box = found[-1]
    display.xdotool("windowraise", box)
    display.xdotool("windowfocus", "--sync", box)
    time.sleep(0.3)
    # A key typed on the focused box (xdotool's "key --window" can leave the
    # key held down on the display when the window is gone before its release;
    # the auto-repeat then answers every later question).
    display.xdotool("key", key)


def test_close_on_welcome_ends_with_0_and_creates_nothing(wine, installer_exe, display, skin,
                                                            machine):
    run = InstallerRun(wine, installer_exe, display)
    try:
        welcome = run.wait_window()
        display.click(welcome, *skin.center("Welcome", "close-btn"))
        assert run.wait_exit(timeout=30) == 0
    finally:
        run.kill()
    assert nothing_installed(wine, machine)


def test_second_copy_ends_with_minus_1_while_the_first_runs(wine, installer_exe, display, skin,
                                                              machine):
    first = InstallerRun(wine, installer_exe, display)
    try:
        welcome = first.wait_window()
        second = InstallerRun(wine, installer_exe, display)
        assert second.wait_exit(timeout=60) == 255  # -1
        assert first.running() and first.windows() == [welcome]
        display.click(welcome, *skin.center("Welcome", "close-btn"))
        assert first.wait_exit(timeout=30) == 0
    finally:
        first.kill()


def test_minimise_works_on_both_windows(wine, installer_exe, test_installers, display, skin,
                                        machine):
    run = InstallerRun(wine, installer_exe, display)
    try:
        welcome = run.wait_window()
        display.click(welcome, *skin.center("Welcome", "min-btn"))
        assert wait_for(lambda: display.is_minimized(welcome), 10)
        assert run.running()
    finally:
        run.kill()
    # The Install window of a stalled install (its package does not open).
    run = InstallerRun(wine, test_installers / "installer_corrupt_package.exe", display)
    try:
        install = click_install(run, display, skin, run.wait_window())
        display.click(install, *skin.center("Install", "min-btn"))
        assert wait_for(lambda: display.is_minimized(install), 10)
        assert run.running()
    finally:
        run.kill()


def test_package_that_does_not_open_stays_at_0_and_close_removes_the_archive(
        wine, test_installers, display, skin, machine):
    run = InstallerRun(wine, test_installers / "installer_corrupt_package.exe", display)
    try:
        install = click_install(run, display, skin, run.wait_window())
        time.sleep(3)
        frame = display.grab(install)
        assert bar_fill(frame, skin) == 0.0
        assert text_matches(frame, skin, "正在安装(0 %)", ["正在安装(1 %)", "正在下载 70%"])
        assert len(machine.temp_archives()) == 1
        assert run.running()
        display.click(install, *skin.center("Install", "close-btn"))
        assert run.wait_exit(timeout=30) == 0
    finally:
        run.kill()
    assert machine.temp_archives() == []
    assert machine.installed_files() == {}
    assert wine.reg_export(STARTMENU_KEY) is None


def test_file_that_fails_its_checksum_is_reported_and_leaves_nothing(wine, test_installers,
                                                                      display, skin, machine):
    """The first file is unpacked, the second fails its checksum: a box says
    so, the installer ends with -1 and nothing of the run is left."""
    run = InstallerRun(wine, test_installers / "installer_bad_crc_package.exe", display)
    try:
        click_install(run, display, skin, run.wait_window())
        answer_box(display, run, "Return", FAILURE_TITLE)
        assert run.wait_exit(timeout=30) == 255
    finally:
        run.kill()
    assert nothing_installed(wine, machine)
    assert not (machine.install_dir.parent / "VelkoBrowser.staging").exists()


def test_hostile_entry_names_write_nothing_outside_the_install_folder(wine, test_installers,
                                                                     display, skin, machine):
    program_files = machine.install_dir.parent
    outside = [program_files / "evil_parent.txt", wine.drive_c / "evil_up2.txt",
               wine.drive_c / "evil_rooted.txt", wine.drive_c / "evil_drive.txt",
               Path("/evil_rooted.txt")]
    run = InstallerRun(wine, test_installers / "installer_hostile_package.exe", display)
    try:
        click_install(run, display, skin, run.wait_window())
        assert run.wait_exit(timeout=60) == 0
    finally:
        run.kill()
    assert (machine.install_dir / "safe" / "inner_ok.txt").is_file()
    assert [p for p in outside if p.exists()] == []
    strays = [p for p in program_files.iterdir() if "evil" in p.name]
    strays += [p for p in wine.drive_c.iterdir() if "evil" in p.name]
    assert strays == []
    assert all(not name.startswith("..") for name in machine.installed_files())


def start_browser_in_install_folder(wine, machine, windows_build: Path) -> subprocess.Popen:
    machine.install_dir.mkdir(parents=True, exist_ok=True)
    package = windows_build / "tools" / "sample_package" / "velko_browser_sample.rar"
    subprocess.run(["unrar", "e", "-inul", "-o+", str(package), "chrome.exe",
                    str(machine.install_dir) + "/"], check=True)
    browser = subprocess.Popen([wine.loader, machine.install_dir_windows + r"\chrome.exe"], env=wine.env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    assert wait_for(lambda: "end\r\n" in machine.browser_record(), 30)
    return browser


def test_running_browser_is_asked_about_until_closed(wine, windows_build, installer_exe, display,
                                                     skin, machine, package_manifest):
    browser = start_browser_in_install_folder(wine, machine, windows_build)
    run = InstallerRun(wine, installer_exe, display)
    try:
        install = click_install(run, display, skin, run.wait_window())
        assert wait_for(lambda: boxes(display, run), 20), "no question while the browser runs"
        # Waiting for the answer, the Install window shows 0 % and an empty bar.
        frame = display.grab(install)
        assert bar_fill(frame, skin) == 0.0
        assert text_matches(frame, skin, "正在安装(0 %)", ["正在安装(1 %)", "正在下载 70%"])
        # Retry with the browser still running: asked again.
        answer_box(display, run, "Return")
        time.sleep(2)
        assert run.running() and boxes(display, run)
        assert not (machine.install_dir / "wow_helper.exe").exists()
        # The browser closed, Retry goes on with the installation.
        machine.stop_browsers()
        browser.wait(timeout=30)
        answer_box(display, run, "Return")
        assert run.wait_exit(timeout=120) == 0
    finally:
        run.kill()
        browser.kill()
    assert_package_installed(machine, package_manifest)


def test_cancel_in_the_running_browser_question_ends_the_installer(wine, windows_build,
                                                                   installer_exe, display, skin,
                                                                   machine):
    browser = start_browser_in_install_folder(wine, machine, windows_build)
    run = InstallerRun(wine, installer_exe, display)
    try:
        click_install(run, display, skin, run.wait_window())
        assert wait_for(lambda: boxes(display, run), 20)
        answer_box(display, run, "Escape")
        assert run.wait_exit(timeout=30) == 0
        assert browser.poll() is None, "the installer never ends the browser itself"
    finally:
        run.kill()
        machine.stop_browsers()
        browser.kill()
    assert sorted(p.name for p in machine.install_dir.iterdir()) == ["chrome.exe",
                                                                    "chrome.exe.starts.txt"]
    assert wine.reg_export(STARTMENU_KEY) is None
    assert machine.temp_archives() == []


def test_close_right_after_the_install_starts_ends_cleanly(wine, installer_exe, display, skin, machine,
                                                    package_manifest):
    run = InstallerRun(wine, installer_exe, display)
    try:
        welcome = run.wait_window()
        size = display.geometry(welcome)[2:]
        display.click(welcome, *skin.center("Welcome", "install-btn"))
        # Only a window of the Install window's size counts: under an emulator a
        # window can be seen for a moment before it has its final size, or as it
        # goes away.
        install = run.wait_window(timeout=30, other_than=welcome, size=size, settle=0, or_exit=True)
        if install is not None:
            display.click(install, *skin.center("Install", "close-btn"))
        assert run.wait_exit(timeout=30) == 0
    finally:
        run.kill()
    # Whether the close came before the last file or not: the archive is
    # gone, and nothing is registered for an installation that is incomplete.
    assert machine.temp_archives() == []
    files = machine.installed_files()
    complete = all(name in files for name in package_manifest)
    if not complete:
        assert wine.reg_export(STARTMENU_KEY) is None
        assert machine.shortcuts() == []
    print(f"closed with {len(files)} of {len(package_manifest)} files out")
