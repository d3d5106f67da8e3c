"""The main job's update demonstration (scripts/main-job.sh --update): the
sample browser (version 1) unpacked into the install folder, the test update
service offering version 2 with the reference download engine, and the
installed updater run with -Task. Reports the service's request log, where the
engine and the package went, and whether version 2 and the logon task are in
place afterwards."""

from __future__ import annotations

import shutil
import sys
import time
from pathlib import Path
from urllib.parse import urlsplit

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(ROOT / "tools" / "update_service"))

import wine_harness  # noqa: E402
from update_service import UpdateService  # noqa: E402
from updater_machine import UpdateCycleMachine, read_manifest, serve_update_cycle  # noqa: E402

SAVE_BASE = "CSIDL_LOCAL_APPDATA\\VelkoEngine"


def run_update_cycle(wine: wine_harness.WinePrefix, build: Path, out: Path) -> bool:
    print("\nupdate cycle (version 1 installed, the service offers version 2):")
    v1 = build / "tools/sample_package/velko_browser_sample.rar"
    v2 = build / "tools/sample_package/velko_browser_v2.rar"
    cfg, engine_zip = build / "engine/dist/cfg.xml", build / "engine/dist/engine.zip"
    rar = shutil.which("rar")
    missing = [str(p) for p in (v1, v2, cfg, engine_zip) if not p.is_file()]
    if missing or rar is None:
        print("  not possible: missing " + ", ".join(missing or ["rar"]))
        return False
    machine = UpdateCycleMachine(wine, build / "updater/updater.exe",
                                 build / "updater/updater_test_browser.exe", rar)
    machine.clean_cycle(SAVE_BASE)
    machine.install_package(v1)
    machine.task_path.unlink(missing_ok=True)
    url = wine_harness.cmake_cache_value(build, "VELKO_UPDATE_SERVICE_URL") or "http://127.0.0.1:18080"
    wait_ms = int(wine_harness.cmake_cache_value(build, "VELKO_EXTRACT_WAIT_MS") or 5000)
    expected = {name.replace("\\", "/"): crc for name, crc in read_manifest(v2).items()}

    def has_version_2() -> bool:
        installed = {n.replace("\\", "/"): c for n, c in machine.installed_crcs().items()}
        return all(installed.get(n) == c for n, c in expected.items())

    with UpdateService("127.0.0.1", urlsplit(url).port or 80) as service:
        serve_update_cycle(service, v2, cfg, engine_zip)
        started = time.monotonic()
        result = machine.run_updater("-Task", windows_path=machine.default_folder + r"\Updater.exe")
        print(f"  updater -Task: exit code {result.returncode} after {time.monotonic() - started:.1f} s")
        applied = machine.wait_until(has_version_2, 60 + wait_ms / 1000)
        print(f"  version 2 in the install folder: {'yes' if applied else 'no'} "
              f"({time.monotonic() - started:.1f} s after the start, wait {wait_ms} ms)")
        registered = machine.wait_until(lambda: machine.task() is not None, 30)
        print(f"  logon task registered again by the new updater: {'yes' if registered else 'no'}")
        lines = service.request_lines()
    (out / "update_requests.log").write_text("\n".join(lines) + "\n", encoding="utf-8")
    print("  requests to the service:")
    for line in lines:
        print("    " + line)
    engine = machine.engine_folder(SAVE_BASE)
    print(f"  engine files: {sorted(str(p.relative_to(engine)) for p in engine.rglob('*') if p.is_file())}")
    print(f"  downloaded: {sorted(p.name for p in machine.download_folder.glob('*'))}")
    print(f"  temporary copies: {sorted(p.name for p in machine.self_copies())}")
    return applied and registered
