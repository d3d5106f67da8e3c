#!/usr/bin/env python3
"""Benchmark of the whole update cycle for the large package, under Wine.

Measured in the same run against the same test update service:
  cycle     `updater.exe -Task` from its start until the package's last file
            is in the install folder with its full size (update check, engine
            configuration and ZIP, engine download of the package, self-copy,
            the copy's first pass and wait, the extraction); the time until
            the restarted updater has registered the logon task again is
            printed beside it;
  baseline  fetch_extract_baseline.exe: a plain libcurl download of the same
            package plus its UnRAR-library extraction, in one process.
Prints both, the configured wait, and the ratio (cycle - wait) / baseline of
each round with their median, and ends with the verdict line
`update-cycle/download-extract-baseline ratio R target 1.20: met|not met`.
Needs a Windows build with -DVELKO_BENCH=ON -DVELKO_LARGE_PACKAGE=ON:
  updater/bench/update_cycle_bench.py [--build build/windows64] [--rounds 1] [--package PKG.rar]
--package serves another archive as the update (the scale run's generated
1 GB package, installer/bench/make_scale_package.py) instead of the large one.
"""

from __future__ import annotations

import argparse
import re
import shutil
import subprocess
import statistics
import sys
import time
from pathlib import Path
from urllib.parse import urlsplit

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(ROOT / "tools" / "update_service"))

import wine_harness  # noqa: E402
from update_service import Reply, UpdateService  # noqa: E402
from updater_machine import PACKAGE_PATH, UpdateCycleMachine, serve_update_cycle  # noqa: E402

SAVE_BASE = "CSIDL_LOCAL_APPDATA\\VelkoEngine"
SCRATCH = r"C:\velko-bench"


def measure_baseline(wine, build: Path, service) -> float:
    shutil.rmtree(wine.host_path(SCRATCH), ignore_errors=True)
    wine.host_path(SCRATCH).mkdir(parents=True)
    program = build / "updater" / "fetch_extract_baseline.exe"
    url = f"http://127.0.0.1:{service.port}{PACKAGE_PATH}"
    started = time.monotonic()
    result = wine.run(program, url, SCRATCH + r"\package.rar", SCRATCH + r"\out", timeout=900)
    elapsed = time.monotonic() - started
    if result.returncode != 0:
        raise RuntimeError("baseline failed: " + result.stdout + result.stderr[-2000:])
    print("  baseline: " + " ".join(result.stdout.split()) + f", wall {elapsed:.2f} s")
    shutil.rmtree(wine.host_path(SCRATCH), ignore_errors=True)
    return elapsed


def last_file_entry(rar: str, package: Path) -> tuple[str, int]:
    """Name (with backslashes) and size of the archive's last file entry, the
    last one the extraction writes."""
    listing = subprocess.run([rar, "lt", str(package)], check=True, capture_output=True,
                             text=True).stdout
    last = None
    for block in listing.split("\n\n"):
        name = re.search(r"^\s*Name: (.+)$", block, re.M)
        kind = re.search(r"^\s*Type: (.+)$", block, re.M)
        size = re.search(r"^\s*Size: (\d+)$", block, re.M)
        if name and kind and size and kind.group(1).strip() == "File":
            last = (name.group(1).strip().replace("/", "\\"), int(size.group(1)))
    if last is None:
        raise RuntimeError(f"no file entry in {package}")
    return last


def measure_cycle(machine: UpdateCycleMachine, v1: Path, last_entry: tuple[str, int]) -> float:
    machine.clean_cycle(SAVE_BASE)
    machine.install_package(v1)
    machine.task_path.unlink(missing_ok=True)
    last_file = machine.wine.host_path(machine.default_folder + "\\" + last_entry[0])
    last_file.unlink(missing_ok=True)
    started = time.monotonic()
    result = machine.run_updater("-Task", windows_path=machine.default_folder + r"\Updater.exe",
                                 timeout=900)
    if result.returncode != 0:
        raise RuntimeError("updater -Task failed: " + result.stderr[-2000:])
    handed_over = time.monotonic() - started
    deadline = started + 900
    extracted = None
    while machine.task() is None:
        if extracted is None and last_file.exists() and last_file.stat().st_size == last_entry[1]:
            extracted = time.monotonic() - started
        if time.monotonic() > deadline:
            raise RuntimeError("the cycle did not finish")
        time.sleep(0.02)
    registered = time.monotonic() - started
    if extracted is None:
        raise RuntimeError("the package's last file was not extracted")
    print(f"  cycle: task mode ended after {handed_over:.2f} s, files extracted after {extracted:.2f} s, "
          f"task registered again after {registered:.2f} s")
    return extracted


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", type=Path, default=wine_harness.build_dir())
    parser.add_argument("--rounds", type=int, default=1)
    parser.add_argument("--package", type=Path, help="the update's archive (default: the large package)")
    args = parser.parse_args()
    build = args.build.resolve()
    packages = build / "tools" / "sample_package"
    v1 = packages / "velko_browser_sample.rar"
    large = args.package.resolve() if args.package else packages / "velko_browser_large.rar"
    for needed in (v1, large, build / "updater" / "fetch_extract_baseline.exe"):
        if not needed.is_file():
            print(f"missing {needed} (configure with -DVELKO_BENCH=ON -DVELKO_LARGE_PACKAGE=ON)")
            return 2
    wait_ms = int(wine_harness.cmake_cache_value(build, "VELKO_EXTRACT_WAIT_MS") or 5000)
    url = wine_harness.cmake_cache_value(build, "VELKO_UPDATE_SERVICE_URL") or "http://127.0.0.1:18080"
    wine = wine_harness.WinePrefix(build)
    wine.prepare()
    machine = UpdateCycleMachine(wine, build / "updater/updater.exe",
                                 build / "updater/updater_test_browser.exe", shutil.which("rar") or "rar")
    print(f"update cycle, package {large.name} ({large.stat().st_size / 1e6:.0f} MB), "
          f"extract wait {wait_ms} ms")
    last_entry = last_file_entry(shutil.which("rar") or "rar", large)
    baselines, cycles = [], []
    with UpdateService("127.0.0.1", urlsplit(url).port or 80) as service:
        serve_update_cycle(service, large, build / "engine/dist/cfg.xml",
                           build / "engine/dist/engine.zip")
        # Serve the package from memory so both sides pay the same for it.
        service.set_route(PACKAGE_PATH, [Reply(content_type="application/octet-stream",
                                               body=large.read_bytes())])
        for _ in range(args.rounds):
            baselines.append(measure_baseline(wine, build, service))
            cycles.append(measure_cycle(machine, v1, last_entry))
    machine.clean_cycle(SAVE_BASE)
    # Each round's cycle and baseline ran back to back under the same load:
    # compare them pairwise and report the median of those ratios.
    ratios = [(c - wait_ms / 1000) / b for b, c in zip(baselines, cycles)]
    baseline, cycle = statistics.median(baselines), statistics.median(cycles)
    print(f"baseline median {baseline:.2f} s, cycle median {cycle:.2f} s "
          f"(without the wait {cycle - wait_ms / 1000:.2f} s); ratio per round "
          + " ".join(f"{r:.2f}" for r in ratios)
          + f", median {statistics.median(ratios):.2f}")
    state = "met" if statistics.median(ratios) <= 1.20 else "not met"
    print(f"update-cycle/download-extract-baseline ratio {statistics.median(ratios):.2f} target 1.20: {state}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
