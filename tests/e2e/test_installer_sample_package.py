"""The sample browser package that the installer embeds: its layout, and the
recording chrome.exe that later end-to-end tests start and make "run"."""

from __future__ import annotations

import shutil
import subprocess
import time
from pathlib import Path

import pytest

VERSION = "51.0.2704.103"


@pytest.fixture(scope="module")
def sample_package(windows_build: Path) -> Path:
    package = windows_build / "tools" / "sample_package" / "velko_browser_sample.rar"
    if not package.is_file():
        pytest.skip(f"{package} not built")
    return package


def archive_entries(package: Path) -> list[tuple[str, bool]]:
    """(name, is folder) of every entry, from unrar's technical listing."""
    listing = subprocess.run(["unrar", "lt", str(package)], capture_output=True, text=True,
                             check=True).stdout
    entries, name = [], None
    for line in listing.splitlines():
        line = line.strip()
        if line.startswith("Name: "):
            name = line[len("Name: "):]
        elif line.startswith("Type: ") and name is not None:
            entries.append((name, line == "Type: Directory"))
            name = None
    return entries


def test_package_has_the_shipped_layout(sample_package: Path):
    entries = archive_entries(sample_package)
    folders = [n for n, is_folder in entries if is_folder]
    files = [n for n, is_folder in entries if not is_folder]
    assert (len(entries), len(files), len(folders)) == (250, 244, 6)
    root_files = sorted(n for n in files if "/" not in n)
    assert root_files == ["Updater.exe", "chrome.exe", "wow_helper.exe"]
    assert VERSION in folders
    assert all(n == VERSION or n.startswith(VERSION + "/") for n in folders)
    assert sum(n.startswith(VERSION + "/") for n in files) == 241


def test_chrome_exe_carries_the_browser_version(sample_package: Path):
    chrome = subprocess.run(["unrar", "p", "-inul", str(sample_package), "chrome.exe"],
                            capture_output=True, check=True).stdout
    assert chrome[:2] == b"MZ"
    assert VERSION.encode("utf-16-le") in chrome


def test_sample_browser_records_its_start_and_runs_until_asked(wine, sample_package: Path,
                                                              tmp_path: Path):
    folder = r"C:\velko-e2e-sample"
    host_folder = wine.host_path(folder)
    shutil.rmtree(host_folder, ignore_errors=True)
    host_folder.mkdir(parents=True)
    subprocess.run(["unrar", "e", "-inul", "-o+", str(sample_package), "chrome.exe",
                    str(host_folder) + "/"], check=True)
    record = host_folder / "chrome.exe.starts.txt"
    browser = subprocess.Popen([wine.loader, folder + r"\chrome.exe"], env=wine.env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline and "end\r\n" not in _read(record):
            time.sleep(0.1)
        text = _read(record)
        assert "arguments=0\r\n" in text
        assert "elevated=" in text
        assert browser.poll() is None, "it keeps running after recording its start"
        # Asked to exit through its window (taskkill without /f sends WM_CLOSE).
        wine.run("taskkill", "/im", "chrome.exe")
        assert browser.wait(timeout=30) == 0
    finally:
        if browser.poll() is None:
            browser.kill()
        shutil.rmtree(host_folder, ignore_errors=True)


def _read(path: Path) -> str:
    try:
        return path.read_bytes().decode("utf-8", "replace")
    except FileNotFoundError:
        return ""
