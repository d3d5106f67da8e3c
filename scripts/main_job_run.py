#!/usr/bin/env python3
"""The run half of the main job (scripts/main-job.sh builds first).

Runs what the Windows build has under Wine, in the build's private prefix, and reports:
the shipped programs and their architecture, the updater in register mode with the
scheduled task it leaves behind, and the installer skin's Welcome window as the UI
library builds it.
"""

from __future__ import annotations

import argparse
import json
import struct
import sys
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
    program = wine_harness.copy_program(updater, wine, r"C:\Program Files\VelkoBrowser\updater.exe")
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
    print(f"\nWine prefix: {wine.prefix}")
    run_updater_register_mode(wine, args.build)
    show_welcome_tree(wine, args.build)
    if args.update:
        from update_cycle_demo import run_update_cycle

        if not run_update_cycle(wine, args.build.resolve(), args.out):
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
