"""Shared fixtures of the end-to-end tests.

The build under test is $VELKO_BUILD_DIR (default build/windows64); its programs run in
that build's private Wine prefix (see wine_harness.py). The test update service listens
at the address the build was configured with (VELKO_UPDATE_SERVICE_URL).
"""

from __future__ import annotations

import os
import sys
from pathlib import Path
from urllib.parse import urlsplit

import pytest

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.path.insert(0, str(HERE.parents[1] / "tools" / "update_service"))

import wine_harness  # noqa: E402
from update_service import UpdateService  # noqa: E402


@pytest.fixture(scope="session")
def windows_build() -> Path:
    build = wine_harness.build_dir()
    if not (build / "CMakeCache.txt").is_file():
        pytest.skip(f"no Windows build in {build} (set VELKO_BUILD_DIR)")
    return build


@pytest.fixture(scope="session")
def wine(windows_build: Path) -> wine_harness.WinePrefix:
    prefix = wine_harness.WinePrefix(windows_build)
    prefix.prepare()
    return prefix


def _program(windows_build: Path, variable: str, relative: str) -> Path:
    path = Path(os.environ.get(variable, windows_build / relative))
    if not path.is_file():
        pytest.skip(f"{path} not built (or set {variable})")
    return path


@pytest.fixture(scope="session")
def updater_exe(windows_build: Path) -> Path:
    return _program(windows_build, "VELKO_UPDATER_EXE", "updater/updater.exe")


@pytest.fixture(scope="session")
def versioned_browser_exe(windows_build: Path) -> Path:
    """A stand-in chrome.exe with the file version 51.0.2704.103."""
    return _program(windows_build, "VELKO_TEST_BROWSER_EXE", "updater/updater_test_browser.exe")


@pytest.fixture(scope="session")
def update_service_session(windows_build: Path):
    url = wine_harness.cmake_cache_value(windows_build, "VELKO_UPDATE_SERVICE_URL") or \
        "http://127.0.0.1:18080"
    parts = urlsplit(url)
    if parts.hostname not in ("127.0.0.1", "localhost"):
        pytest.skip(f"the build asks {url}, not a local test service")
    with UpdateService("127.0.0.1", parts.port or 80) as service:
        yield service


@pytest.fixture
def update_service(update_service_session):
    """The test service with no routes and an empty log."""
    update_service_session.reset()
    yield update_service_session
    update_service_session.reset()


@pytest.fixture(scope="session")
def retry_wait_ms(windows_build: Path) -> int:
    return int(wine_harness.cmake_cache_value(windows_build, "VELKO_UPDATE_RETRY_WAIT_MS") or 120000)


@pytest.fixture
def updater_machine(wine, updater_exe, versioned_browser_exe):
    """A prefix without the browser, its registry value or the updater's task."""
    from updater_machine import UpdaterMachine

    machine = UpdaterMachine(wine, updater_exe, versioned_browser_exe)
    machine.clean()
    yield machine
    machine.clean()
