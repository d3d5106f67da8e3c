"""Static checks of the shipped executables (the `windows` build, or the one
$VELKO_SHIPPED_BUILD_DIR names): what Windows reads from the files before any code
runs. Nothing here starts Wine."""

from __future__ import annotations

import os
from pathlib import Path

import pytest

from pe_image import (DLL_DYNAMIC_BASE, DLL_NX_COMPAT, MACHINE_I386, RT_MANIFEST,
                      SUBSYSTEM_WINDOWS_GUI, read_pe)

ROOT = Path(__file__).resolve().parents[2]
PROGRAMS = ("installer/installer.exe", "updater/updater.exe")
# DLLs that every Windows from 7 on carries in its system folder. Anything else
# (compiler runtimes such as libstdc++-6.dll or libwinpthread-1.dll, zlib1.dll,
# libcurl.dll) would have to be shipped beside the program.
SYSTEM_DLLS = {
    "advapi32.dll", "bcrypt.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll", "dwmapi.dll",
    "gdi32.dll", "gdiplus.dll", "imm32.dll", "iphlpapi.dll", "kernel32.dll", "msimg32.dll",
    "msvcrt.dll", "normaliz.dll", "ole32.dll", "oleaut32.dll", "powrprof.dll", "psapi.dll", "rpcrt4.dll",
    "secur32.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "userenv.dll", "uxtheme.dll",
    "version.dll", "winhttp.dll", "wininet.dll", "winmm.dll", "wldap32.dll", "ws2_32.dll",
    "wtsapi32.dll", "mstask.dll", "taskschd.dll", "urlmon.dll",
}


def shipped_build() -> Path:
    return Path(os.environ.get("VELKO_SHIPPED_BUILD_DIR", ROOT / "build" / "windows"))


@pytest.fixture(scope="module", params=PROGRAMS, ids=lambda p: Path(p).name)
def program(request):
    path = shipped_build() / request.param
    if not path.is_file():
        pytest.skip(f"{path} not built (cmake --preset windows && cmake --build --preset windows)")
    return read_pe(path)


def test_is_a_32bit_windows_gui_program_with_aslr_and_dep(program):
    assert program.machine == MACHINE_I386
    assert program.subsystem == SUBSYSTEM_WINDOWS_GUI
    assert program.dll_characteristics & DLL_DYNAMIC_BASE, "no ASLR flag"
    assert program.dll_characteristics & DLL_NX_COMPAT, "no DEP flag"
    # The ASLR flag is worth nothing when the loader cannot move the image.
    assert program.has_relocations(), "relocations stripped: the image cannot be moved"


def test_imports_only_dlls_of_windows_itself(program):
    imported = {name.lower() for name in program.imported_dlls()}
    assert "kernel32.dll" in imported
    assert imported <= SYSTEM_DLLS, sorted(imported - SYSTEM_DLLS)


def test_manifest_asks_for_administrator_rights(program):
    manifests = [data for (kind, name, _), data in program.resources().items()
                 if kind == RT_MANIFEST and name == 1]
    assert len(manifests) == 1
    assert b'level="requireAdministrator"' in manifests[0]


def test_installer_carries_the_package_as_a_rar_archive():
    path = shipped_build() / "installer" / "installer.exe"
    if not path.is_file():
        pytest.skip(f"{path} not built")
    packages = [data for (kind, name, _), data in read_pe(path).resources().items()
                if (kind, name) == ("PDATA", "PACKAGE")]
    assert len(packages) == 1
    assert packages[0][:6] == b"Rar!\x1a\x07", "the package is not a RAR archive"
