#!/usr/bin/env python3
"""The run half of the main job (scripts/main-job.sh builds first).

Runs what the Windows build has under Wine, in the build's private prefix, and reports:
the shipped programs and their architecture, the updater in register mode with the
scheduled task it leaves behind, the installer skin's Welcome window as the UI
library builds it, and a full install by installer.exe: its Welcome window clicked
with the mouse on the virtual display, then what it installed, registered, created
and started.
"""

from __future__ import annotations

import argparse
import json
import struct
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

import wine_harness  # noqa: E402

PE_MACHINES = {0x14C: "32-bit x86", 0x8664: "64-bit x86-64"}
# Task Scheduler 1.0 trigger types (TASK_TRIGGER_TYPE).
TRIGGER_TYPES = {0: "once", 1: "daily", 2: "weekly", 5: "on idle", 6: "at system start", 7: "at logon"}


def pe_machine(path: Path) -> str:
    data = path.read_bytes()[:4096]
    (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
    (machine,) = struct.unpack_from("<H", data, pe_offset + 4)
    return PE_MACHINES.get(machine, hex(machine))


def report_programs(shipped: Path) -> None:
    print("Shipped programs (build/windows):")
    for name in ("installer/installer.exe", "updater/updater.exe"):
        path = shipped / name
        if path.is_file():
            print(f"  {path.relative_to(ROOT)}: {path.stat().st_size:,} bytes, {pe_machine(path)}")
        else:
            print(f"  {name}: not part of this build yet")


def run_updater_register_mode(wine: wine_harness.WinePrefix, build: Path) -> None:
    updater = build / "updater" / "updater.exe"
    if not updater.is_file():
        print("updater: not built")
        return
    program = wine_harness.copy_program(updater, wine, wine.program_files + r"\VelkoBrowser\updater.exe")
    result = wine.run(program)
    print(f"updater (no switch, register mode): exit code {result.returncode}")
    job = wine.task_file("Velko_Browser_Updater")
    if job.is_file():
        parsed = wine_harness.parse_job_file(job.read_bytes())
        print(f"  scheduled task {job.name}: runs {parsed.application} {parsed.parameters}")
        for trigger in parsed.triggers:
            kind = TRIGGER_TYPES.get(trigger.trigger_type, str(trigger.trigger_type))
            print(f"  trigger: {kind}, begins "
                  f"{trigger.begin[0]:04d}-{trigger.begin[1]:02d}-{trigger.begin[2]:02d} "
                  f"{trigger.start[0]:02d}:{trigger.start[1]:02d}")
    else:
        print("  no scheduled task was written")


def show_welcome_tree(wine: wine_harness.WinePrefix, build: Path) -> None:
    tool = build / "tools" / "uilibtool" / "uilibtool.exe"
    skin = build / "installer" / "skin" / "installer_skin.xml"
    if not tool.is_file() or not skin.is_file():
        print("uilibtool: not built")
        return
    result = wine.run(tool, "tree", "Z:" + str(skin).replace("/", "\\"), "Welcome")
    if result.returncode != 0:
        print(f"uilibtool tree failed ({result.returncode}): {result.stderr.strip()}")
        return
    tree = json.loads(result.stdout)

    def walk(node: dict, depth: int) -> None:
        label = node.get("tag", "?") + (f" #{node['id']}" if node.get("id") else "")
        print("  " + "  " * depth + label)
        for child in node.get("children", []):
            walk(child, depth + 1)

    print("Installer skin, window Welcome, as the UI library builds it:")
    walk(tree.get("root", tree), 0)


def run_full_install(wine: wine_harness.WinePrefix, build: Path, out: Path) -> bool:
    """installer.exe from start to end, driven like a user; True when it
    installed the browser and ended with 0."""
    from installer_driver import (TASK_NAME, Display, InstallerMachine, InstallerRun,
                                  ShellTray, Skin, registry_rows, shell_link_fields)

    installer = build / "installer" / "installer.exe"
    tray_program = build / "installer" / "tests" / "shell_tray_stand_in.exe"
    if not installer.is_file():
        print("installer: not built")
        return False
    print("\nFull install by installer.exe (mouse clicks on the virtual display):")
    machine = InstallerMachine(wine)
    machine.clean()
    # Wine without a desktop shell has no taskbar window whose user the browser
    # is started as; a stand-in provides one.
    tray = ShellTray(wine, tray_program) if tray_program.is_file() else None
    display, skin = Display(wine), Skin()
    run = InstallerRun(wine, installer, display)
    try:
        welcome = run.wait_window()
        display.save(welcome, out / "installer-welcome.png")
        print(f"  Welcome window shown (picture: {out / 'installer-welcome.png'})")
        # The screen is read from the click until the installer ends: the
        # Install window of the small sample package lives for well under a second.
        frames = run.click_and_watch(welcome, *skin.center("Welcome", "install-btn"))
        code = run.wait_exit(timeout=300)
    finally:
        run.kill()
    install_frames = [f for f in frames if skin.shows(f, "Install")]
    if install_frames:
        last = install_frames[-1]
        picture = out / "installer-progress.png"
        subprocess.run(["convert", "-size", f"{last.width}x{last.height}", "-depth", "8", "rgb:-",
                        str(picture)], input=last.data, check=True)
        print(f"  Install window shown ({len(install_frames)} different pictures; the last: {picture})")
    else:
        print("  Install window: not seen on the screen")
    print(f"  installer.exe exit code: {code}")
    files = machine.installed_files()
    print(f"  {machine.install_dir_windows}: {len(files)} files, {sum(files.values()):,} bytes")
    for name in sorted(n for n in files if "/" not in n):
        print(f"    {name} ({files[name]:,} bytes)")
    rows = registry_rows(wine)
    print(f"  registry: {len(rows)} rows written (start-menu client, capabilities, "
          "registered application, document class)")
    for shortcut in machine.shortcuts():
        link = shell_link_fields(shortcut.read_bytes())
        print(f"  desktop shortcut {shortcut.name}: target {link.get('target')}, "
              f"working folder {link.get('working')}")
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline and "end\r\n" not in machine.browser_record():
        time.sleep(0.2)
    started = "end\r\n" in machine.browser_record()
    print(f"  chrome.exe started: {'yes' if started else 'no'}")
    while time.monotonic() < deadline and not wine.task_file(TASK_NAME).exists():
        time.sleep(0.2)
    print(f"  updater.exe started (logon task written): "
          f"{'yes' if wine.task_file(TASK_NAME).exists() else 'no'}")
    print(f"  temporary archive left behind: {'yes' if machine.temp_archives() else 'no'}")
    machine.stop_browsers()
    if tray is not None:
        tray.stop()
    return code == 0 and len(files) > 0 and len(rows) == 44


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", type=Path, required=True, help="Windows build to run")
    parser.add_argument("--shipped", type=Path, required=True, help="the 32-bit build")
    parser.add_argument("--out", type=Path, required=True, help="folder for reports")
    parser.add_argument("--update", action="store_true",
                        help="also demonstrate an update cycle against the test update service")
    args = parser.parse_args()

    report_programs(args.shipped)
    wine = wine_harness.WinePrefix(args.build.resolve())
    wine.prepare()
    print(f"\nWine prefix: {wine.prefix} (64-bit Windows)")
    print(f"Route: {wine.route_reason}")
    run_updater_register_mode(wine, args.build)
    show_welcome_tree(wine, args.build)
    if not run_full_install(wine, args.build.resolve(), args.out):
        return 1
    if args.update:
        from update_cycle_demo import run_update_cycle

        if not run_update_cycle(wine, args.build.resolve(), args.out):
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
