#!/usr/bin/env python3
"""installer.exe against the UnRAR baseline, in one Wine prefix and one run.

  installer/bench/installer_exe_bench.py BUILD_DIR [ROUNDS]

BUILD_DIR is a Windows build configured with -DVELKO_LARGE_PACKAGE=ON. Each round
runs, in alternating order:
  baseline   bench_baseline_extract.exe: the package archive on disk extracted with
             the UnRAR library alone, no UI, into a fresh folder of drive C:
  installer  bench_installer_at_once.exe: installer.exe built to begin installing as
             soon as its Welcome window is up (same sources, same resources, carrying
             the benchmark package), from process start to exit: Welcome and Install
             windows, temporary archive, two passes, registration, shortcuts, launch.
Both are measured from outside: wall time from process start to exit, and the peak
of the process's resident anonymous memory (private pages; the mapped package pages
are file-backed and not counted) and of its whole resident set.

Then the time from process start to the Welcome window's first picture on the screen,
for installer.exe itself (the first moment the window's area shows its skin), against
the start-to-exit time of a Wine program that does nothing (the baseline without
arguments), measured the same way.
"""

from __future__ import annotations

import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

import wine_harness  # noqa: E402
from installer_driver import Display, InstallerMachine, ShellTray  # noqa: E402

BASELINE_OUT = r"C:\velko-bench\baseline\out"


def read_status(pid: int) -> dict[str, int]:
    values = {}
    try:
        for line in Path(f"/proc/{pid}/status").read_text().splitlines():
            key, _, rest = line.partition(":")
            if key in ("VmHWM", "RssAnon"):
                values[key] = int(rest.split()[0])
    except (OSError, ValueError, IndexError):
        pass
    return values


def measure(wine, *args: str, phases=None) -> tuple[float, float, float, int]:
    """(wall ms, peak anonymous MB, peak resident MB, exit code). `phases`
    maps a name to a test; the first moment each test holds is recorded in
    the same dictionary (ms)."""
    start = time.monotonic()
    proc = subprocess.Popen([wine.loader, *args], env=wine.env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    peak_anon = peak_rss = 0
    pending = dict(phases or {})
    while proc.poll() is None:
        status = read_status(proc.pid)
        peak_anon = max(peak_anon, status.get("RssAnon", 0))
        peak_rss = max(peak_rss, status.get("VmHWM", 0))
        for name, test in list(pending.items()):
            if callable(test) and test():
                phases[name] = (time.monotonic() - start) * 1000
                del pending[name]
        time.sleep(0.01)
    wall = (time.monotonic() - start) * 1000
    return wall, peak_anon / 1024, peak_rss / 1024, proc.returncode


def time_to_first_picture(wine, display: Display, program: Path) -> float:
    """ms from process start until the window's area shows the skin."""
    start = time.monotonic()
    proc = subprocess.Popen([wine.loader, str(program)], env=wine.env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while time.monotonic() - start < 60:
            windows = display.installer_windows(proc.pid)
            if windows:
                frame = display.grab(windows[0])
                # The Welcome background is near white at its centre.
                if frame is not None and min(frame.pixel(frame.width // 2, 60)) > 200:
                    return (time.monotonic() - start) * 1000
            time.sleep(0.005)
        return float("nan")
    finally:
        proc.kill()
        proc.wait()
        time.sleep(1)


def main() -> int:
    build = Path(sys.argv[1]).resolve()
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    wine = wine_harness.WinePrefix(build)
    wine.prepare()
    package = Path((build / "installer" / "bench" / "bench_package_path.txt").read_text().strip())
    baseline = build / "installer" / "bench" / "bench_baseline_extract.exe"
    installer = build / "installer" / "bench" / "bench_installer_at_once.exe"
    tray_program = build / "installer" / "tests" / "shell_tray_stand_in.exe"
    machine = InstallerMachine(wine)
    display = Display(wine)
    bench_root = wine.host_path(r"C:\velko-bench")
    print(f"package: {package} ({package.stat().st_size:,} bytes)")
    total = sum(1 for line in Path(str(package) + ".manifest.tsv").read_text().splitlines() if line)
    tray = ShellTray(wine, tray_program) if tray_program.is_file() else None
    measure(wine, str(baseline))  # wineserver and caches warm
    results: dict[str, list[tuple[float, float, float, int]]] = {"baseline": [], "installer": []}
    try:
        for r in range(1, rounds + 1):
            order = ("baseline", "installer") if r % 2 else ("installer", "baseline")
            for who in order:
                if who == "baseline":
                    shutil.rmtree(bench_root, ignore_errors=True)
                    (bench_root / "baseline").mkdir(parents=True)
                    result = measure(wine, str(baseline), "Z:" + str(package).replace("/", "\\"),
                                     BASELINE_OUT)
                else:
                    machine.clean()
                    result = measure(wine, str(installer))
                results[who].append(result)
                wall, anon, rss, code = result
                print(f"round {r} {who}: {wall:.0f} ms wall, peak private {anon:.1f} MB, "
                      f"peak resident {rss:.1f} MB, exit {code}")
        installed = machine.installed_files()
        print(f"installer.exe installed {len(installed)} files, {sum(installed.values()):,} bytes")
        # Where the time goes, in a run of its own: watching the folders costs
        # the machine enough to slow the run being watched, so the timed
        # rounds above are not watched.
        machine.clean()
        phases = {"temporary archive written": lambda: bool(machine.temp_archives()),
                  "every file extracted": lambda: len(machine.installed_files()) >= total,
                  "desktop shortcut made": lambda: bool(machine.shortcuts())}
        watched = measure(wine, str(installer), phases=phases)
        print(f"phases (separate watched run, {watched[0]:.0f} ms): "
              + ", ".join(f"{name} at {ms:.0f} ms" for name, ms in phases.items() if not callable(ms)))
        machine.clean()
        shutil.rmtree(bench_root, ignore_errors=True)

        startup_base = [measure(wine, str(baseline))[0] for _ in range(3)]
        first_picture = [time_to_first_picture(wine, display, build / "installer" / "installer.exe")
                         for _ in range(3)]
    finally:
        if tray is not None:
            tray.stop()

    def mean(values):
        return sum(values) / len(values)

    b = [x[0] for x in results["baseline"]]
    i = [x[0] for x in results["installer"]]
    b_anon = max(x[1] for x in results["baseline"])
    i_anon = max(x[1] for x in results["installer"])
    print(f"wall: baseline mean {mean(b):.0f} ms, installer.exe mean {mean(i):.0f} ms, "
          f"ratio {mean(i) / mean(b):.3f} (goal <= 1.05)")
    print(f"peak private: baseline {b_anon:.1f} MB, installer.exe {i_anon:.1f} MB, "
          f"difference {i_anon - b_anon:+.1f} MB (goal <= +40)")
    print(f"peak resident: baseline {max(x[2] for x in results['baseline']):.1f} MB, "
          f"installer.exe {max(x[2] for x in results['installer']):.1f} MB "
          "(includes the mapped package pages)")
    print(f"start to Welcome on screen: {', '.join(f'{t:.0f}' for t in first_picture)} ms "
          f"(mean {mean(first_picture):.0f} ms); a Wine program that does nothing, start to "
          f"exit: mean {mean(startup_base):.0f} ms; ratio {mean(first_picture) / mean(startup_base):.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
