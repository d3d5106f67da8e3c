"""A 32-bit updater on 64-bit Windows reads HKLM\\SOFTWARE\\VelkoBrowser where
64-bit Windows keeps it for 32-bit programs: under WOW6432Node. Runs on 32-bit
builds (their prefix is a 64-bit one)."""

from __future__ import annotations

import re
import shutil

import pytest

from test_updater_update_check import NO_UPDATE, request_line_pattern
from updater_machine import CHECK_PATH, INSTALL_KEY

WOW64_INSTALL_KEY = INSTALL_KEY.replace("SOFTWARE", r"SOFTWARE\WOW6432Node")
ELSEWHERE = r"C:\Velko Elsewhere"


@pytest.fixture
def machine32(updater_machine):
    if not updater_machine.wine.programs_32bit:
        pytest.skip("a 64-bit build sees no registry redirection")
    yield updater_machine
    wine = updater_machine.wine
    wine.reg("delete", INSTALL_KEY, "/f", view="64")
    shutil.rmtree(wine.host_path(ELSEWHERE), ignore_errors=True)


def test_install_path_is_read_from_wow6432node(machine32, update_service):
    wine = machine32.wine
    folder = machine32.install_browser(ELSEWHERE, registry_value=None)
    # The 64-bit view's own key names a folder without a browser: not to be read.
    assert wine.reg("add", INSTALL_KEY, "/v", "InstallPath", "/t", "REG_SZ", "/d",
                    r"C:\No Browser Here", "/f", view="64").returncode == 0
    assert wine.reg("add", WOW64_INSTALL_KEY, "/v", "InstallPath", "/t", "REG_SZ", "/d", folder,
                    "/f", view="64").returncode == 0
    update_service.set_route(CHECK_PATH, [NO_UPDATE])
    assert machine32.run_updater("-Task").returncode == 0
    (line,) = update_service.request_lines()
    # The version of the browser in the folder that WOW6432Node names.
    assert re.fullmatch(request_line_pattern(r"51%2E0%2E2704%2E103"), line), line
