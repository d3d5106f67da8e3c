#!/usr/bin/env python3
"""installer.exe against the UnRAR baseline, and its first picture against a bare
layered window, in one Wine prefix and one run.

  installer/bench/installer_exe_bench.py BUILD_DIR [ROUNDS] [--reference EXE]

BUILD_DIR is a Windows build configured with -DVELKO_LARGE_PACKAGE=ON (the shipped
i686 build where the kernel runs 32-bit code). ROUNDS defaults to 5. Each round
runs, in an order drawn for the round, each program on a settled disk:
  baseline   bench_baseline_extract.exe: the package archive on disk extracted with
             the UnRAR library alone, no UI, into a fresh folder of drive C:
  installer  bench_installer_at_once.exe: installer.exe built to begin installing as
             soon as its Welcome window is up (same sources, same resources, carrying
             the benchmark package), from process start to exit.
  worker     bench_install_worker.exe: the installer's install path without any
             window (temporary archive, counting pass, extracting pass, swap).
  bare-install  bench_bare_install.exe: the install's operations done the
             plainest way, none of our code: the package resource to a
             temporary archive, counted and extracted (the baseline's UnRAR
             loop) on a second thread while a bare layered window of the
             installer's size shows the progress, a shell link, the browser
             and the updater started, the archive deleted. What those
             operations cost under this Wine.
With --reference, an earlier build's bench_installer_at_once.exe (a copy kept
aside before a change) takes the worker's place in the rounds, and the installer's
phases are compared with its phases round by round: the effect of a change measured
in one run, where the machine's drift between runs would hide it.
All are measured from outside (wall time, peak private and resident memory); the
installer and the baseline also mark their phases from inside, and the breakdown
prints each phase's median and spread over the rounds for both.

Then, again in rotating rounds, the time from process start to the first picture on
the screen: installer.exe's Welcome window against bench_bare_first_picture.exe (a
layered window of the same size, one GDI+-drawn frame pushed), both seen the same
way (the screen's pixels at the window's place, read through Xlib every few ms).

It ends with one line per target: `NAME ratio R target T: met|not met`.
"""

from __future__ import annotations

import os
import random
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
BARE_INSTALL = r"C:\velko-bench\bare-install"
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
    """A key=value figure from a benchmark program's report lines."""
    for field in text.split():
        name, _, value = field.partition("=")
        if name == key:
            return float(value)
    return float("nan")


def read_phases(trace: Path) -> dict[str, float]:
    """Phase name -> ms since process creation, from a program's marks."""
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
    ("entry", "ui library started", "UI library start (message window, COM, GDI+, render thread)"),
    ("ui library started", "welcome window up", "skin and Welcome window (first picture pushed)"),
    ("welcome window up", "click", "Welcome's tooltip (made before a person's click; here before the begin)"),
    ("click", "worker started", "click: worker started"),
    ("worker started", "install window up", "  Install window (beside the worker)"),
    ("worker started", "checks done", "  checks: browser not running, swap lock (beside the window)"),
    ("checks done", "temporary archive written", "  temporary archive (beside the window)"),
    ("temporary archive written", "files counted", "counting pass"),
    ("files counted", "extraction ended", "extracting pass"),
    ("extraction ended", "files swapped in", "staged files swapped in"),
    ("files swapped in", "registered", "registration"),
    ("registered", "shortcuts made", "shortcuts"),
    ("shortcuts made", "browser and updater started", "browser and updater started"),
    ("browser and updater started", "exit", "windows closed, worker joined, clean-up"),
]

# The click of the benchmark installer: it begins as soon as Welcome is up
# and its posted messages (the tooltip's) are handled.
CLICK, FINISHED = "click", "exit"


def spread(values: list[float], digits: int = 1) -> str:
    """median [min-max] of a list of figures."""
    return f"{statistics.median(values):7.{digits}f} [{min(values):.{digits}f}-{max(values):.{digits}f}]"


def verdict(name: str, value: float, target: float, what: str = "ratio", digits: int = 2) -> str:
    state = "met" if value <= target else "not met"
    return f"{name} {what} {value:.{digits}f} target {target:.{digits}f}: {state}"


class ScreenWatch:
    """Sees when a centred window of the Welcome window's size shows a light
    picture: a strip near its top centre is read through Xlib every few ms."""

    def __init__(self, display_name: str) -> None:
        from screen_reader import ScreenReader
        self.reader = ScreenReader(display_name)

    def _strip_is_light(self, box: tuple[int, int, int, int]) -> bool:
        raw = self.reader.read(*box)
        if raw is None:
            return False
        pixels = len(raw) // 3
        light = sum(1 for k in range(0, len(raw), 3) if min(raw[k], raw[k + 1], raw[k + 2]) > 200)
        return light * 4 >= pixels * 3

    def first_picture_ms(self, wine, program: Path, env, screen_box) -> float:
        """ms from process start until the window's place shows the light picture."""
        # The previous program's window must be gone from the screen first.
        deadline = time.monotonic() + 10
        while self._strip_is_light(screen_box) and time.monotonic() < deadline:
            time.sleep(0.05)
        os.sync()
        start = time.monotonic()
        proc = subprocess.Popen([wine.loader, str(program)], env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            while time.monotonic() - start < 30:
                if self._strip_is_light(screen_box):
                    return (time.monotonic() - start) * 1000
                time.sleep(0.002)
            return float("nan")
        finally:
            proc.kill()
            proc.wait()


def centred_strip(display: Display) -> tuple[int, int, int, int]:
    """A 64 x 4 strip 60 px below the top of a centred 608 x 322 window."""
    width, height = (int(v) for v in display.xdotool("getdisplaygeometry").split()[:2])
    left, top = (width - 608) // 2, (height - 322) // 2
    return left + 304 - 32, top + 60, 64, 4


def settle_disk(machine, bench_root: Path) -> None:
    """Every contestant starts alike: the files of whoever ran before removed
    and the disk's write-back finished. Otherwise the kernel writes the last
    rounds' hundreds of megabytes back (30 s after they were written) while
    the next contestant runs, and which contestant pays for that depends on
    the order: it was the largest part of the spread between rounds."""
    shutil.rmtree(bench_root, ignore_errors=True)
    machine.clean()
    os.sync()


def bench_setting(argv: list[str]):
    """(build folder, rounds, its prepared Wine prefix, its benchmark programs' folder,
    the reference installer or None) from the command line BUILD_DIR [ROUNDS]
    [--reference EXE]."""
    reference = None
    if "--reference" in argv:
        at = argv.index("--reference")
        reference = Path(argv[at + 1]).resolve()
        argv = argv[:at] + argv[at + 2:]
    build = Path(argv[1]).resolve()
    rounds = int(argv[2]) if len(argv) > 2 else 5
    wine = wine_harness.WinePrefix(build)
    wine.prepare()
    return build, rounds, wine, build / "installer" / "bench", reference


def main() -> int:
    build, rounds, wine, bench_dir, reference = bench_setting(sys.argv)
    package = Path((bench_dir / "bench_package_path.txt").read_text().strip())
    baseline = bench_dir / "bench_baseline_extract.exe"
    installer = bench_dir / "bench_installer_at_once.exe"
    worker = bench_dir / "bench_install_worker.exe"
    bare_install = bench_dir / "bench_bare_install.exe"
    bare = {"bare": bench_dir / "bench_bare_first_picture.exe",
            "bare+imports": bench_dir / "bench_bare_first_picture_imports.exe"}
    trace = Path(tempfile.mkdtemp(prefix="velko-phases-")) / "phases.txt"
    trace_env = dict(wine.env, VELKO_PHASE_TRACE="Z:" + str(trace).replace("/", "\\"))
    tray_program = build / "installer" / "tests" / "shell_tray_stand_in.exe"
    machine = InstallerMachine(wine)
    display = Display(wine)
    bench_root = wine.host_path(r"C:\velko-bench")
    print(f"package: {package} ({package.stat().st_size:,} bytes)")
    tray = ShellTray(wine, tray_program) if tray_program.is_file() else None
    measure(wine, str(baseline))  # wineserver and caches warm
    contestants = ("baseline", "reference" if reference else "worker", "installer", "bare-install")
    results: dict[str, list[tuple[float, float, float, int, str]]] = {who: [] for who in contestants}
    phases: list[dict[str, float]] = []
    reference_phases: list[dict[str, float]] = []
    worker_phases: list[dict[str, float]] = []
    installed: dict[str, int] = {}
    pictures: dict[str, list[float]] = {"bare": [], "bare+imports": [], "installer": []}
    bare_marks: dict[str, list[dict[str, float]]] = {"bare": [], "bare+imports": []}
    try:
        for r in range(1, rounds + 1):
            # A new order each round (the same in every run): with a fixed
            # rotation each contestant always follows the same one, and a
            # copy of the installer measured 0.91 against itself.
            order = random.Random(r).sample(contestants, len(contestants))
            for who in order:
                settle_disk(machine, bench_root)
                if who == "baseline":
                    (bench_root / "baseline").mkdir(parents=True)
                    result = measure(wine, str(baseline), "Z:" + str(package).replace("/", "\\"),
                                     BASELINE_OUT)
                elif who == "bare-install":
                    (bench_root / "bare-install" / "temp").mkdir(parents=True)
                    result = measure(wine, str(bare_install), BARE_INSTALL + r"\out", BARE_INSTALL + r"\temp",
                                     BARE_INSTALL + r"\Velko Browser.lnk")
                elif who == "worker":
                    (bench_root / "worker" / "temp").mkdir(parents=True)
                    trace.unlink(missing_ok=True)
                    result = measure(wine, str(worker), WORKER_OUT, WORKER_TEMP, env=trace_env)
                    worker_phases.append(read_phases(trace))
                else:
                    trace.unlink(missing_ok=True)
                    result = measure(wine, str(reference if who == "reference" else installer), env=trace_env)
                    (reference_phases if who == "reference" else phases).append(read_phases(trace))
                    if who == "installer":
                        installed = machine.installed_files()  # the next contestant's start removes them
                results[who].append(result)
                wall, anon, rss, code, _ = result
                print(f"round {r} {who}: {wall:.0f} ms wall, peak private {anon:.1f} MB, "
                      f"peak resident {rss:.1f} MB, exit {code}", flush=True)
        print(f"installer.exe installed {len(installed)} files, {sum(installed.values()):,} bytes")
        machine.clean()
        shutil.rmtree(bench_root, ignore_errors=True)

        watch = ScreenWatch(wine.env["DISPLAY"])
        strip = centred_strip(display)
        shipped = build / "installer" / "installer.exe"
        viewers = tuple(pictures)
        for r in range(1, rounds + 1):
            for who in viewers[r % 3:] + viewers[:r % 3]:
                trace.unlink(missing_ok=True)
                program = bare.get(who, shipped)
                pictures[who].append(watch.first_picture_ms(wine, program, trace_env, strip))
                if who in bare_marks:
                    bare_marks[who].append(read_phases(trace))
                settle_disk(machine, bench_root)
                time.sleep(0.5)
            print(f"round {r} first picture: " + ", ".join(f"{who} {pictures[who][-1]:.0f} ms" for who in viewers),
                  flush=True)
    finally:
        if tray is not None:
            tray.stop()

    lines = report_install(results, phases, worker_phases)
    if reference:
        report_reference(phases, reference_phases, reference)
    lines += report_first_picture(pictures, bare_marks, phases)
    print()
    for line in lines:
        print(line)
    return 0


def report_install(results, phases, worker_phases) -> list[str]:
    """The install breakdown; returns the verdict lines."""
    b = [x[0] for x in results["baseline"]]
    i = [x[0] for x in results["installer"]]
    print(f"wall, start to exit (median [min-max] ms): baseline {spread(b)}, installer.exe {spread(i)}")
    print(f"  per-round ratios to the baseline: installer.exe {spread([x / y for x, y in zip(i, b)], 3)}")
    for who, name in (("worker", "install path without windows"), ("reference", "reference installer")):
        if who in results:
            other = [x[0] for x in results[who]]
            print(f"  {name} {spread(other)} ms, per-round ratios to the baseline "
                  f"{spread([x / y for x, y in zip(other, b)], 3)}")

    # The baseline's own marks: its code's start, the archive opened, the
    # files written, the archive closed and the report printed.
    entry = [report_value(x[4], "entry_ms") for x in results["baseline"]]
    opened = [report_value(x[4], "opened_ms") for x in results["baseline"]]
    extracted = [report_value(x[4], "extracted_ms") for x in results["baseline"]]
    ended = [report_value(x[4], "elapsed_ms") for x in results["baseline"]]
    b_extract = [e - s for s, e in zip(entry, extracted)]  # open and every file written
    print("baseline phases (median [min-max] ms):")
    print(f"  {spread(entry)}  process start to its code (Wine: kernel32, the UnRAR code)")
    print(f"  {spread([o - s for s, o in zip(entry, opened)])}  archive opened")
    print(f"  {spread([e - o for o, e in zip(opened, extracted)])}  files extracted")
    print(f"  {spread([n - e for e, n in zip(extracted, ended)])}  archive closed, report")
    print(f"  {spread([t - n for t, n in zip(b, ended)])}  outside the process's own time "
          f"(Wine's start before the process exists, exit)")

    complete = [(p, r) for p, r in zip(phases, results["installer"])
                if all(step[0] in p and step[1] in p for step in PHASE_STEPS)]
    lines = []
    if not complete:
        print("installer.exe phases: no round with every mark")
        return [verdict("install/extract-baseline", float("nan"), 1.10) + " (no marks)"]
    print(f"installer.exe phases, {len(complete)} rounds (median [min-max] ms):")
    print(f"  {spread([p['entry'] for p, _ in complete])}  process start to its code (Wine: user32, gdi32, "
          f"shell32, ole32, GDI+ loaded)")
    for first, last, name in PHASE_STEPS:
        print(f"  {spread([p[last] - p[first] for p, _ in complete])}  {name}")
    print(f"  {spread([r[0] - p['exit'] for p, r in complete])}  outside the process's own time")
    shown = [p.get("progress updates shown", 0) for p, _ in complete]
    showing = [p.get("progress showing ms", 0) for p, _ in complete]
    print(f"  progress updates shown per install: median {statistics.median(shown):.0f}, "
          f"UI thread time for them {spread(showing)} ms in all")

    # Per-round ratios: the installer and the baseline of the same round.
    paired = [(p, b_extract[k]) for k, (p, _) in enumerate(complete)]
    whole = [(p[FINISHED] - p[CLICK]) / base for p, base in paired]
    passes = [(p["extraction ended"] - p["files counted"]) / base for p, base in paired]
    beyond = [(p[FINISHED] - p[CLICK]) - (p["extraction ended"] - p["files counted"]) for p, _ in complete]
    print(f"click to finished {spread([p[FINISHED] - p[CLICK] for p, _ in complete])} ms, of which outside "
          f"the extracting pass {spread(beyond)} ms; baseline extraction {spread(b_extract)} ms")
    print(f"  ratios per round: whole install {spread(whole, 3)}, extracting pass {spread(passes, 3)}")
    worker_pass = [(p["extraction ended"] - p["files counted"]) / base
                   for p, base in zip(worker_phases, b_extract) if "extraction ended" in p and "files counted" in p]
    if worker_pass:
        print(f"  the install path without windows, its extracting pass per round against the baseline "
              f"extraction: {spread(worker_pass, 3)} (the extraction code alone, no window beside it)")
    report_bare_install(results, complete, b_extract)
    b_anon = max(x[1] for x in results["baseline"])
    i_anon = max(x[1] for x in results["installer"])
    print(f"peak private: baseline {b_anon:.1f} MB, installer.exe {i_anon:.1f} MB; peak resident "
          f"{max(x[2] for x in results['baseline']):.1f} and {max(x[2] for x in results['installer']):.1f} MB "
          "(includes the mapped package pages)")
    lines.append(verdict("install/extract-baseline", statistics.median(whole), 1.10))
    lines.append(verdict("extracting-pass/extract-baseline", statistics.median(passes), 1.05))
    lines.append(verdict("peak-private-minus-baseline", i_anon - b_anon, 40.0, "MB", 1))
    return lines


def report_reference(phases, reference_phases, reference: Path) -> None:
    """The installer against an earlier build of itself, round by round."""
    pairs = [(p, q) for p, q in zip(phases, reference_phases)
             if all(mark in p and mark in q for mark in (CLICK, FINISHED, "files counted", "extraction ended"))]
    if not pairs:
        print(f"reference {reference.name}: no round with every mark")
        return
    whole = [(p[FINISHED] - p[CLICK]) / (q[FINISHED] - q[CLICK]) for p, q in pairs]
    passes = [(p["extraction ended"] - p["files counted"]) / (q["extraction ended"] - q["files counted"])
              for p, q in pairs]
    print(f"installer.exe / reference {reference} per round ({len(pairs)} rounds): whole {spread(whole, 3)}, "
          f"extracting pass {spread(passes, 3)}; reference click to finished "
          f"{spread([q[FINISHED] - q[CLICK] for _, q in pairs])} ms")


def report_bare_install(results, complete, b_extract) -> None:
    """The bare install's phases beside the installer's: which part of the
    installer's time beyond the baseline any program doing the same
    operations pays under this Wine, and which part is our code's."""
    bare = [x[4] for x in results["bare-install"]]
    bare_steps = [("click_ms", "written_ms", "temporary archive"), ("written_ms", "opened_ms", "counting pass"),
                  ("opened_ms", "extracted_ms", "extraction (progress shown in the bare window)"),
                  ("extracted_ms", "linked_ms", "shell link"), ("linked_ms", "started_ms", "browser and updater started"),
                  ("started_ms", "ended_ms", "window closed, temporary archive deleted")]
    print("bare install, the same operations without our code (median [min-max] ms):")
    for first, last, name in bare_steps:
        print(f"  {spread([report_value(t, last) - report_value(t, first) for t in bare])}  {name}")
    bare_whole = [report_value(t, "ended_ms") - report_value(t, "click_ms") for t in bare]
    bare_pass = [report_value(t, "extracted_ms") - report_value(t, "opened_ms") for t in bare]
    pass_ms = [p["extraction ended"] - p["files counted"] for p, _ in complete]
    whole_ms = [p[FINISHED] - p[CLICK] for p, _ in complete]
    print(f"  click to finished {spread(bare_whole)} ms, {statistics.median(report_value(t, 'frames') for t in bare):.0f} "
          f"frames pushed; ratios per round to the baseline extraction: whole {spread([x / y for x, y in zip(bare_whole, b_extract)], 3)}, "
          f"extraction {spread([x / y for x, y in zip(bare_pass, b_extract)], 3)}")
    print(f"  installer.exe / bare install per round: whole {spread([x / y for x, y in zip(whole_ms, bare_whole)], 3)}, "
          f"extracting pass {spread([x / y for x, y in zip(pass_ms, bare_pass)], 3)}")
    base_median = statistics.median(b_extract)
    beyond, bare_beyond = statistics.median(whole_ms) - base_median, statistics.median(bare_whole) - base_median
    print(f"  of installer.exe's {beyond:.0f} ms beyond the baseline extraction (medians), the same operations "
          f"without our code take {bare_beyond:.0f} ms: our code's share {beyond - bare_beyond:.0f} ms; of its "
          f"extracting pass's {statistics.median(pass_ms) - base_median:.0f} ms, the bare extraction's "
          f"{statistics.median(bare_pass) - base_median:.0f} ms")
    # CPU time inside the extracting pass: the whole process's (the UnRAR
    # library unpacks on threads of its own besides the extracting thread;
    # the UI and render threads show the progress), against the baselines'.
    own_cpu = [p["thread cpu at extraction ended"] - p["thread cpu at files counted"] for p, _ in complete]
    all_cpu = [p["process cpu at extraction ended"] - p["process cpu at files counted"] for p, _ in complete]
    print(f"CPU in the extracting pass (ms, 10 ms ticks): installer.exe's process {spread(all_cpu)} (its extracting "
          f"thread {spread(own_cpu)}); baseline {spread([report_value(x[4], 'extraction_cpu_ms') for x in results['baseline']])}; "
          f"bare install {spread([report_value(t, 'extraction_cpu_ms') for t in bare])}")


def report_first_picture(pictures, bare_marks, phases) -> list[str]:
    """The first-picture breakdown; returns the verdict lines."""
    bare, inst = pictures["bare"], pictures["installer"]
    print(f"start to the first picture on the screen (median [min-max] ms): bare layered window "
          f"{spread(bare)}, the same loading installer.exe's libraries {spread(pictures['bare+imports'])}, "
          f"installer.exe Welcome {spread(inst)}")
    for who, marks in bare_marks.items():
        pushed = [m["first frame pushed"] for m in marks if "first frame pushed" in m]
        entry = [m["entry"] for m in marks if "entry" in m]
        if pushed and entry:
            print(f"  {who} from inside (ms since process creation): its code {spread(entry)}, push returned "
                  f"{spread(pushed)}")
    welcome = [p[CLICK] for p in phases if CLICK in p]
    if welcome:
        print(f"  installer from inside: Welcome pushed {spread(welcome)} (its phases above)")
    loading = statistics.median(pictures["bare+imports"]) - statistics.median(bare)
    print(f"  of the installer's {statistics.median(inst) - statistics.median(bare):.0f} ms beyond the bare "
          f"window, Wine's loading of its libraries (bare+imports - bare): {loading:.0f} ms")
    ratios = [x / y for x, y in zip(inst, bare)]
    print(f"  per-round ratios {spread(ratios, 3)}")
    return [verdict("first-picture/bare-layered-window", statistics.median(ratios), 1.50),
            verdict("first-picture", statistics.median(inst), 200.0, "ms", 0)]


if __name__ == "__main__":
    sys.exit(main())
