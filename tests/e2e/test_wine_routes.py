"""How the 32-bit programs run: natively, or through qemu-user in a private
namespace. The route is chosen by trying the native 32-bit loader and can be
forced (VELKO_32BIT_ROUTE=qemu), so the qemu route is tested on every machine.
Needs a 32-bit build (windows-test) as VELKO_BUILD_DIR."""

from __future__ import annotations

import os
import subprocess
import time
import uuid
from pathlib import Path

import pytest

import wine_harness

ROUTE_SCRIPT = '. "$1/wine-env.sh"; velko_32bit_route; echo "$VELKO_ROUTE|$VELKO_ROUTE_REASON"'
# A 32-bit Windows program of every 64-bit prefix.
CMD32 = r"C:\windows\syswow64\cmd.exe"


def route(**env: str) -> tuple[str, str]:
    result = subprocess.run(["bash", "-c", ROUTE_SCRIPT, "_", str(wine_harness.SCRIPTS)],
                            capture_output=True, text=True, env={**os.environ, **env}, timeout=60)
    name, _, reason = result.stdout.strip().partition("|")
    return name, reason


def native_runs_here() -> bool:
    return route(VELKO_32BIT_ROUTE="")[0] == "native"


@pytest.fixture(scope="module")
def build32(windows_build: Path) -> Path:
    if wine_harness.WinePrefix(windows_build).programs_32bit is False:
        pytest.skip(f"{windows_build} is not a 32-bit build")
    return windows_build


@pytest.fixture(scope="module", params=["native", "qemu"])
def routed(request, build32: Path) -> wine_harness.WinePrefix:
    if request.param == "native" and not native_runs_here():
        pytest.skip("this kernel refuses 32-bit programs")
    prefix = wine_harness.WinePrefix(build32, {"VELKO_32BIT_ROUTE": request.param})
    prefix.prepare()
    return prefix


def test_route_is_chosen_by_trying_the_native_loader(tmp_path: Path):
    missing = route(VELKO_32BIT_ROUTE="", VELKO_WINE32_LOADER=str(tmp_path / "wine"))
    assert missing[0] == "none"
    assert "wine32:i386" in missing[1] and "kernel" not in missing[1]

    # A 32-bit ELF program for a machine this kernel does not run: refused with
    # "Exec format error", as 32-bit x86 programs are on kernels without it.
    foreign = tmp_path / "wine"
    image = bytearray(Path("/usr/lib/wine/wine").read_bytes())
    image[18:20] = (0xB7).to_bytes(2, "little")  # e_machine: AArch64
    foreign.write_bytes(bytes(image))
    foreign.chmod(0o755)
    refused = route(VELKO_32BIT_ROUTE="", VELKO_WINE32_LOADER=str(foreign))
    assert refused == ("qemu", "32-bit programs run through qemu-user because this kernel refuses them")

    if native_runs_here():
        assert route(VELKO_32BIT_ROUTE="")[1] == "32-bit programs run natively"
    assert route(VELKO_32BIT_ROUTE="qemu")[0] == "qemu"

    # An emulator too old for Wine (Debian 12's own 7.2) is refused by name.
    old_qemu = tmp_path / "qemu-i386-static"
    old_qemu.write_text('#!/bin/sh\necho "qemu-i386 version 7.2.18 (Debian 1:7.2+dfsg-7+deb12u18)"\n')
    old_qemu.chmod(0o755)
    name, reason = route(VELKO_32BIT_ROUTE="qemu", VELKO_QEMU_I386=str(old_qemu))
    assert name == "none" and "version 7.2.18" in reason and "bookworm-backports" in reason


def test_exit_code_passes_through_the_route(routed: wine_harness.WinePrefix):
    assert routed.run(CMD32, "/c", "exit 37").returncode == 37
    # ctest's way in: the wrapper script, which finds the route by itself.
    script = subprocess.run([str(wine_harness.SCRIPTS / "wine-run.sh"), CMD32, "/c", "exit 300"],
                            env={**os.environ, "VELKO_BUILD_DIR": str(routed.build),
                                 "VELKO_32BIT_ROUTE": routed.route}, timeout=120,
                            stdin=subprocess.DEVNULL, capture_output=True)
    assert script.returncode == 300 % 256


def emulated_processes(marker: str) -> list[int]:
    """IDs of processes run by the emulator whose command line holds `marker`."""
    # The kernel runs the registered emulator by its real path (qemu-i386-static may
    # be a link to qemu-i386).
    emulator = os.path.realpath(os.environ.get("VELKO_QEMU_I386", "/usr/bin/qemu-i386-static"))
    found = []
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            exe = os.readlink(entry / "exe")
            cmdline = (entry / "cmdline").read_bytes().decode("utf-8", "replace")
        except OSError:
            continue
        if exe == emulator and marker in cmdline:
            found.append(int(entry.name))
    return found


def test_32bit_programs_run_emulated_only_on_the_qemu_route(routed: wine_harness.WinePrefix):
    marker = uuid.uuid4().hex
    program = subprocess.Popen([routed.loader, CMD32, "/c", f"rem {marker} & ping -n 4 127.0.0.1 >nul"],
                               env=routed.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + 30
        seen = []
        while time.monotonic() < deadline and program.poll() is None and not seen:
            seen = emulated_processes(marker)
            time.sleep(0.2)
        # The process started is the program itself (the wrapper keeps its ID).
        assert (program.pid in seen) == (routed.route == "qemu"), (routed.route, seen)
        assert program.wait(timeout=60) == 0
    finally:
        if program.poll() is None:
            program.kill()
