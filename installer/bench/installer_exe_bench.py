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
  worker     bench_install_worker.exe: the installer's install path without any
             window (temporary archive from the package resource, counting pass,
             extracting pass) -- what the installer must do beyond the baseline
             before any UI, start-up or finishing step is counted.
All are measured from outside: wall time from process start to exit, and the peak
of the process's resident anonymous memory (private pages; the mapped package pages
are file-backed and not counted) and of its whole resident set.

The benchmark installer writes phase marks (VELKO_PHASE_TRACE); their means over
the installer rounds show where its time goes, next to the baseline's own
start-up and extraction times.

Then the time from process start to the Welcome window's first picture on the screen,
for installer.exe itself (the first moment the window's area shows its skin), against
the start-to-exit time of a Wine program that does nothing (the baseline without
arguments), measured the same way.
"""

from __future__ import annotations

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

import wine_harness  # noqa: E402
from installer_driver import Display, InstallerMachine, ShellTray  # noqa: E402

BASELINE_OUT = r"C:\velko-bench\baseline\out"
WORKER_OUT = r"C:\velko-bench\worker\out"
WORKER_TEMP = r"C:\velko-bench\worker\temp"


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


def measure(wine, *args: str, env=None) -> tuple[float, float, float, int, str]:
    """(wall ms, peak anonymous MB, peak resident MB, exit code, standard output)."""
    # The previous round's hundreds of megabytes still being written back
    # to disk would slow whichever program runs next.
    os.sync()
    start = time.monotonic()
    with tempfile.TemporaryFile() as out:
        proc = subprocess.Popen([wine.loader, *args], env=env or wine.env, stdin=subprocess.DEVNULL,
                                stdout=out, stderr=subprocess.DEVNULL)
        peak_anon = peak_rss = 0
        while proc.poll() is None:
            status = read_status(proc.pid)
            peak_anon = max(peak_anon, status.get("RssAnon", 0))
            peak_rss = max(peak_rss, status.get("VmHWM", 0))
            time.sleep(0.01)
        wall = (time.monotonic() - start) * 1000
        out.seek(0)
        text = out.read().decode(errors="replace")
    return wall, peak_anon / 1024, peak_rss / 1024, proc.returncode, text


def report_value(text: str, key: str) -> float:
    """A key=value figure from a benchmark program's report line."""
    for field in text.split():
        name, _, value = field.partition("=")
        if name == key:
            return float(value)
    return float("nan")


def read_phases(trace: Path) -> dict[str, float]:
    """Phase name -> ms since process creation, from the installer's marks."""
    marks: dict[str, float] = {}
    showing = None
    if trace.is_file():
        for line in trace.read_text().splitlines():
            ms, _, name = line.partition(" ")
            if name == "progress showing":
                showing = float(ms)
            elif name == "progress shown":
                marks["progress updates shown"] = marks.get("progress updates shown", 0) + 1
                if showing is not None:
                    marks["progress showing ms"] = marks.get("progress showing ms", 0) + float(ms) - showing
            else:
                marks.setdefault(name, float(ms))
    return marks


# Consecutive marks of the benchmark installer, and what lies between them.
PHASE_STEPS = [
    ("entry", "ui library started", "UI library start (GDI+, libcurl, threads)"),
    ("ui library started", "welcome window up", "skin and Welcome window"),
    ("welcome window up", "install window up", "Install window"),
    ("install window up", "temporary archive written", "worker start, temporary archive"),
    ("temporary archive written", "files counted", "counting pass"),
    ("files counted", "extraction ended", "extracting pass"),
    ("extraction ended", "registered", "registration"),
    ("registered", "shortcuts made", "shortcuts"),
    ("shortcuts made", "browser and updater started", "browser and updater started"),
    ("browser and updater started", "exit", "windows closed, clean-up"),
]


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
    worker = build / "installer" / "bench" / "bench_install_worker.exe"
    trace = Path(tempfile.mkdtemp(prefix="velko-phases-")) / "phases.txt"
    trace_env = dict(wine.env, VELKO_PHASE_TRACE="Z:" + str(trace).replace("/", "\\"))
    tray_program = build / "installer" / "tests" / "shell_tray_stand_in.exe"
    machine = InstallerMachine(wine)
    display = Display(wine)
    bench_root = wine.host_path(r"C:\velko-bench")
    print(f"package: {package} ({package.stat().st_size:,} bytes)")
    tray = ShellTray(wine, tray_program) if tray_program.is_file() else None
    measure(wine, str(baseline))  # wineserver and caches warm
    contestants = ("baseline", "worker", "installer")
    results: dict[str, list[tuple[float, float, float, int, str]]] = {who: [] for who in contestants}
    phases: list[dict[str, float]] = []
    try:
        for r in range(1, rounds + 1):
            # Each contestant goes first, second and last equally often.
            order = contestants[r % 3:] + contestants[:r % 3]
            for who in order:
                if who == "baseline":
                    shutil.rmtree(bench_root, ignore_errors=True)
                    (bench_root / "baseline").mkdir(parents=True)
                    result = measure(wine, str(baseline), "Z:" + str(package).replace("/", "\\"),
                                     BASELINE_OUT)
                elif who == "worker":
                    shutil.rmtree(bench_root, ignore_errors=True)
                    (bench_root / "worker" / "temp").mkdir(parents=True)
                    result = measure(wine, str(worker), WORKER_OUT, WORKER_TEMP)
                else:
                    machine.clean()
                    trace.unlink(missing_ok=True)
                    result = measure(wine, str(installer), env=trace_env)
                    phases.append(read_phases(trace))
                results[who].append(result)
                wall, anon, rss, code, _ = result
                print(f"round {r} {who}: {wall:.0f} ms wall, peak private {anon:.1f} MB, "
                      f"peak resident {rss:.1f} MB, exit {code}")
        installed = machine.installed_files()
        print(f"installer.exe installed {len(installed)} files, {sum(installed.values()):,} bytes")
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
    w = [x[0] for x in results["worker"]]
    i = [x[0] for x in results["installer"]]
    b_anon = max(x[1] for x in results["baseline"])
    i_anon = max(x[1] for x in results["installer"])
    print(f"wall: baseline mean {mean(b):.0f} ms, installer.exe mean {mean(i):.0f} ms, "
          f"ratio {mean(i) / mean(b):.3f} (goal <= 1.05); medians {statistics.median(b):.0f} and "
          f"{statistics.median(i):.0f} ms, ratio {statistics.median(i) / statistics.median(b):.3f}")
    print(f"wall: install path without windows mean {mean(w):.0f} ms, ratio to the baseline "
          f"{mean(w) / mean(b):.3f}; median ratio {statistics.median(w) / statistics.median(b):.3f}")

    # Where the time goes. The baseline's own marks: its code's start and end.
    b_entry = mean([report_value(x[4], "entry_ms") for x in results["baseline"]])
    b_end = mean([report_value(x[4], "elapsed_ms") for x in results["baseline"]])
    b_extract = b_end - b_entry
    print(f"baseline: process start to its code {b_entry:.0f} ms (from Windows' process creation), "
          f"extraction {b_extract:.0f} ms, the rest of the wall time (Wine's start before the "
          f"process exists, exit) {mean(b) - b_extract - b_entry:.0f} ms")
    complete = [p for p in phases if all(step[0] in p and step[1] in p for step in PHASE_STEPS)]
    if complete:
        print(f"installer.exe phases, mean of {len(complete)} rounds (ms):")
        entry = mean([p["entry"] for p in complete])
        print(f"  {entry:7.0f}  process start to its code (Wine: user32, gdi32, shell32, ole32, "
              f"comctl32, GDI+ loaded)")
        for first, last, name in PHASE_STEPS:
            print(f"  {mean([p[last] - p[first] for p in complete]):7.0f}  {name}")
        shown = mean([p.get("progress updates shown", 0) for p in complete])
        showing = mean([p.get("progress showing ms", 0) for p in complete])
        print(f"  progress updates shown per install: {shown:.0f}, {showing:.0f} ms of the UI thread "
              f"in all ({showing / max(shown, 1):.1f} ms each)")
        extract = mean([p["extraction ended"] - p["files counted"] for p in complete])
        fixed = mean(i) - extract
        print(f"installer.exe beyond its extracting pass: {fixed:.0f} ms; baseline beyond its "
              f"extraction: {mean(b) - b_extract:.0f} ms; extracting pass / baseline extraction "
              f"{extract / b_extract:.3f}; the goal's 5 % of the baseline is {0.05 * mean(b):.0f} ms")
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
