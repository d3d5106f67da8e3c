#!/usr/bin/env python3
"""The installer's cost per byte on a large package against the benchmark package.

  installer/bench/scale_bench.py BUILD_DIR [ROUNDS]

Set up (see README): build the benchmark installer with the usual package, copy
bench_installer_at_once.exe to bench_installer_at_once_reference.exe and
bench_package_path.txt to bench_package_path_reference.txt beside it, generate the
scale package (make_scale_package.py: 1 GB, 5,000 entries by default, never
stored) and rebuild the benchmark programs with -DVELKO_BENCH_PACKAGE=THAT.RAR.
Each round then runs, in an order drawn for the round, the installer with each package and the
UnRAR baseline on each archive. Printed: click-to-finished time per unpacked byte
for both installers and the baseline, peak private memory of each, and the
verdict lines (time per byte within 10 %, memory not growing with the package).
"""

from __future__ import annotations

import random
import shutil
import statistics
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from installer_exe_bench import (BASELINE_OUT, CLICK, FINISHED, InstallerMachine, ShellTray,  # noqa: E402
                                 bench_setting, measure, read_phases, report_value, settle_disk, spread,
                                 verdict)


def main() -> int:
    build, rounds, wine, bench_dir, _ = bench_setting(sys.argv)
    packages = {
        "scale": Path((bench_dir / "bench_package_path.txt").read_text().strip()),
        "reference": Path((bench_dir / "bench_package_path_reference.txt").read_text().strip()),
    }
    installers = {"scale": bench_dir / "bench_installer_at_once.exe",
                  "reference": bench_dir / "bench_installer_at_once_reference.exe"}
    baseline = bench_dir / "bench_baseline_extract.exe"
    trace = Path(tempfile.mkdtemp(prefix="velko-scale-")) / "phases.txt"
    trace_env = dict(wine.env, VELKO_PHASE_TRACE="Z:" + str(trace).replace("/", "\\"))
    machine = InstallerMachine(wine)
    bench_root = wine.host_path(r"C:\velko-bench")
    tray_program = build / "installer" / "tests" / "shell_tray_stand_in.exe"
    tray = ShellTray(wine, tray_program) if tray_program.is_file() else None
    for name, package in packages.items():
        print(f"{name} package: {package} ({package.stat().st_size:,} bytes)")
    contestants = [("installer", "reference"), ("installer", "scale"), ("baseline", "reference"),
                   ("baseline", "scale")]
    ms_per_byte: dict[tuple[str, str], list[float]] = {c: [] for c in contestants}
    memory: dict[tuple[str, str], list[float]] = {c: [] for c in contestants}
    unpacked: dict[str, int] = {}
    try:
        for r in range(rounds):
            for who, package in random.Random(r).sample(contestants, len(contestants)):
                settle_disk(machine, bench_root)
                if who == "installer":
                    trace.unlink(missing_ok=True)
                    wall, anon, _, code, _ = measure(wine, str(installers[package]), env=trace_env)
                    marks = read_phases(trace)
                    unpacked[package] = sum(machine.installed_files().values())
                    ms = marks.get(FINISHED, float("nan")) - marks.get(CLICK, float("nan"))
                else:
                    (bench_root / "baseline").mkdir(parents=True)
                    wall, anon, _, code, text = measure(wine, str(baseline),
                                                        "Z:" + str(packages[package]).replace("/", "\\"),
                                                        BASELINE_OUT)
                    ms = report_value(text, "extracted_ms") - report_value(text, "entry_ms")
                memory[(who, package)].append(anon)
                ms_per_byte[(who, package)].append(ms)
                print(f"round {r + 1} {who} {package}: {ms:.0f} ms (click to finished / extraction), "
                      f"wall {wall:.0f} ms, peak private {anon:.1f} MB, exit {code}", flush=True)
        machine.clean()
        shutil.rmtree(bench_root, ignore_errors=True)
    finally:
        if tray is not None:
            tray.stop()

    print()
    for name in ("reference", "scale"):
        print(f"{name}: {unpacked.get(name, 0):,} bytes unpacked")
    per_mb = {}
    for who, package in contestants:
        size_mb = unpacked.get(package, 0) / 1e6
        values = [ms / size_mb for ms in ms_per_byte[(who, package)]] if size_mb else [float("nan")]
        per_mb[(who, package)] = statistics.median(values)
        print(f"{who} {package}: {spread(values, 3)} ms per MB unpacked; peak private "
              f"{spread(memory[(who, package)])} MB")
    time_ratio = per_mb[("installer", "scale")] / per_mb[("installer", "reference")]
    base_ratio = per_mb[("baseline", "scale")] / per_mb[("baseline", "reference")]
    print(f"the baseline's own time per byte, scale / reference: {base_ratio:.3f} (the machine's share: "
          f"the same UnRAR extraction of more bytes)")
    for package in ("reference", "scale"):
        print(f"installer / baseline per byte with the {package} package: "
              f"{per_mb[('installer', package)] / per_mb[('baseline', package)]:.3f}")
    growth = (statistics.median(memory[("installer", "scale")]) -
              statistics.median(memory[("installer", "reference")]))
    print()
    print(verdict("scale/time-per-byte-vs-reference", time_ratio, 1.10))
    print(verdict("scale/peak-private-growth", growth, 5.0, "MB", 1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
