#!/usr/bin/env python3
"""Benchmark of the whole update cycle for the large package, under Wine.

Measured in the same run against the same test update service:
  cycle     `updater.exe -Task` from its start until the unpacked updater has
            registered the logon task again (update check, engine
            configuration and ZIP, engine download of the package, self-copy,
            the copy's wait, both extraction passes, restart), less the time
            of a register-mode run measured alone: the time to the extracted
            files;
  baseline  fetch_extract_baseline.exe: a plain libcurl download of the same
            package plus its UnRAR-library extraction, in one process.
Prints both, the configured wait, and the ratio (cycle - wait) / baseline
(goal: at most 1.2). Needs a Windows build with -DVELKO_BENCH=ON
-DVELKO_LARGE_PACKAGE=ON:
  updater/bench/update_cycle_bench.py [--build build/windows64] [--rounds 1]
"""

from __future__ import annotations

import argparse
import shutil
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


def measure_cycle(machine: UpdateCycleMachine, v1: Path) -> float:
    machine.clean_cycle(SAVE_BASE)
    machine.install_package(v1)
    machine.task_path.unlink(missing_ok=True)
    started = time.monotonic()
    result = machine.run_updater("-Task", windows_path=machine.default_folder + r"\Updater.exe",
                                 timeout=900)
    if result.returncode != 0:
        raise RuntimeError("updater -Task failed: " + result.stderr[-2000:])
    handed_over = time.monotonic() - started
    deadline = started + 900
    while machine.task() is None:
        if time.monotonic() > deadline:
            raise RuntimeError("the cycle did not finish")
        time.sleep(0.05)
    elapsed = time.monotonic() - started
    # What the restarted updater spends starting and registering, alone.
    machine.task_path.unlink(missing_ok=True)
    register_started = time.monotonic()
    machine.run_updater(windows_path=machine.default_folder + r"\Updater.exe")
    register = time.monotonic() - register_started
    print(f"  cycle: task mode ended after {handed_over:.2f} s, re-registered after {elapsed:.2f} s, "
          f"register mode alone {register:.2f} s")
    return elapsed - register


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", type=Path, default=wine_harness.build_dir())
    parser.add_argument("--rounds", type=int, default=1)
    args = parser.parse_args()
    build = args.build.resolve()
    packages = build / "tools" / "sample_package"
    v1, large = packages / "velko_browser_sample.rar", packages / "velko_browser_large.rar"
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
    baselines, cycles = [], []
    with UpdateService("127.0.0.1", urlsplit(url).port or 80) as service:
        serve_update_cycle(service, large, build / "engine/dist/cfg.xml",
                           build / "engine/dist/engine.zip")
        # Serve the package from memory so both sides pay the same for it.
        service.set_route(PACKAGE_PATH, [Reply(content_type="application/octet-stream",
                                               body=large.read_bytes())])
        for _ in range(args.rounds):
            baselines.append(measure_baseline(wine, build, service))
            cycles.append(measure_cycle(machine, v1))
    machine.clean_cycle(SAVE_BASE)
    baseline, cycle = statistics.median(baselines), statistics.median(cycles)
    ratio = (cycle - wait_ms / 1000) / baseline
    print(f"baseline {baseline:.2f} s, cycle {cycle:.2f} s, cycle without the wait "
          f"{cycle - wait_ms / 1000:.2f} s, ratio {ratio:.2f} (goal <= 1.20)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
