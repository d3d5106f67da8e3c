"""The whole update cycle under Wine against the test update service: the
sample browser (version 1) installed, the service offering version 2, and
`updater.exe -Task` from the install folder. The engine configuration, the
reference engine's ZIP and the package are served by the test service; the
engine downloads the package into commdl, a "uper*.exe" copy unpacks it after
its wait, and the unpacked updater registers the logon task again."""

from __future__ import annotations

import hashlib
import io
import os
import shutil
import subprocess
import time
import zipfile
import zlib
from pathlib import Path

import pytest

from update_service import Reply
from updater_machine import (CHECK_PATH, CYCLE_FILES, ENGINE_CONFIG_PATH, ENGINE_ZIP_PATH,
                             PACKAGE_PATH, UpdateCycleMachine, built_files, read_manifest,
                             serve_update_cycle)
from wine_harness import cmake_cache_value

SAVE_BASE = "CSIDL_LOCAL_APPDATA\\VelkoEngine"
FORTY_NINE_HOURS = 49 * 3600


# Fixtures ---------------------------------------------------------------------

@pytest.fixture(scope="module")
def cycle_build(windows_build: Path) -> dict[str, Path]:
    files = built_files(windows_build, {
        **CYCLE_FILES,
        "no_exports": "engine/xldl_no_exports.dll",
        "hostile_rar": "installer/tests/test_archives/hostile.rar",
        "start_marker": "updater/updater_test_start_marker.exe",
    })
    if cmake_cache_value(windows_build, "VELKO_ENGINE_SAVE_BASE") not in (None, SAVE_BASE):
        pytest.skip("the engine configuration uses another save base")
    return files


@pytest.fixture
def extract_wait_s(windows_build: Path) -> float:
    return int(cmake_cache_value(windows_build, "VELKO_EXTRACT_WAIT_MS") or 5000) / 1000


@pytest.fixture
def cycle(wine, updater_exe, versioned_browser_exe, cycle_build):
    rar = shutil.which("rar")
    if rar is None:
        pytest.skip("rar is needed to install the sample package")
    machine = UpdateCycleMachine(wine, updater_exe, versioned_browser_exe, rar)
    machine.clean_cycle(SAVE_BASE)
    machine.install_package(cycle_build["v1"])
    yield machine
    wine.run("taskkill", "/F", "/IM", "chrome.exe")
    machine.clean_cycle(SAVE_BASE)


def offer_update(service, files: dict[str, Path], package: bytes | None = None,
                 cfg: Reply | None = None, engine_zip: bytes | None = None) -> None:
    serve_update_cycle(service, files["v2"], files["cfg"], files["engine_zip"],
                       package=package, cfg=cfg, engine_zip_body=engine_zip)


def requests_to(service, path: str) -> int:
    return sum(1 for line in service.request_lines() if line.split(" ")[1].split("?")[0] == path)


def run_installed_updater(cycle: UpdateCycleMachine, *args: str):
    return cycle.run_updater(*args, windows_path=cycle.default_folder + r"\Updater.exe")


def manifest_crcs(rar: Path) -> dict[str, int]:
    return {name.replace("\\", "/"): crc for name, crc in read_manifest(rar).items()}


def installed_crcs(cycle: UpdateCycleMachine) -> dict[str, int]:
    return {name.replace("\\", "/"): crc for name, crc in cycle.installed_crcs().items()}


def has_files(installed: dict[str, int], expected: dict[str, int]) -> bool:
    return all(installed.get(name) == crc for name, crc in expected.items())


def config_xml(body_lines: str) -> bytes:
    return f'<?xml version="1.0"?>\n<xl>\n{body_lines}\n</xl>\n'.encode()


# The cycle --------------------------------------------------------------------

def test_whole_update_cycle(cycle, update_service, cycle_build, extract_wait_s):
    # A stale file in commdl goes at the next download start; a fresh one stays.
    cycle.download_folder.mkdir(parents=True, exist_ok=True)
    stale, fresh = cycle.download_folder / "old.rar", cycle.download_folder / "recent.rar"
    for path in (stale, fresh):
        path.write_bytes(b"x")
    old = time.time() - FORTY_NINE_HOURS
    os.utime(stale, (old, old))
    cycle.task_path.unlink(missing_ok=True)
    offer_update(update_service, cycle_build)

    result = run_installed_updater(cycle, "-Task")
    assert result.returncode == 0, result.stderr
    v2 = manifest_crcs(cycle_build["v2"])
    # Every file of version 2 is in place; version 1's own version folder stays.
    assert cycle.wait_until(lambda: has_files(installed_crcs(cycle), v2), 60 + extract_wait_s), \
        "version 2 was not unpacked into the install folder"
    assert cycle.wait_until(lambda: cycle.task() is not None, 30), "the task was not registered"
    assert cycle.task().application.lower().endswith(r"\velkobrowser\updater.exe")

    for path in (CHECK_PATH, ENGINE_CONFIG_PATH, ENGINE_ZIP_PATH, PACKAGE_PATH):
        assert requests_to(update_service, path) == 1, (path, update_service.request_lines())
    engine = cycle.engine_folder(SAVE_BASE)
    assert (engine / "xldl.dll").is_file()
    assert (engine / "doc" / "readme.txt").is_file()
    packages = [p for p in cycle.download_folder.iterdir() if p.name not in ("recent.rar",)]
    assert any(zlib.crc32(p.read_bytes()) == zlib.crc32(cycle_build["v2"].read_bytes())
               for p in packages), "the package is not in commdl"
    assert not stale.exists() and fresh.exists()
    assert cycle.self_copies(), "no uper*.exe copy was made"


def test_engine_present_with_matching_crcs_is_not_downloaded(cycle, update_service, cycle_build):
    with zipfile.ZipFile(cycle_build["engine_zip"]) as archive:
        archive.extractall(cycle.engine_folder(SAVE_BASE))
    offer_update(update_service, cycle_build, package=b"not a package")
    assert run_installed_updater(cycle, "-Task").returncode == 0
    assert requests_to(update_service, ENGINE_ZIP_PATH) == 0
    assert requests_to(update_service, PACKAGE_PATH) == 1


def test_one_crc_mismatch_downloads_the_engine_again(cycle, update_service, cycle_build):
    engine = cycle.engine_folder(SAVE_BASE)
    with zipfile.ZipFile(cycle_build["engine_zip"]) as archive:
        archive.extractall(engine)
    readme = engine / "doc" / "readme.txt"
    original = readme.read_bytes()
    readme.write_bytes(b"changed")
    offer_update(update_service, cycle_build, package=b"not a package")
    assert run_installed_updater(cycle, "-Task").returncode == 0
    assert requests_to(update_service, ENGINE_ZIP_PATH) == 1
    assert readme.read_bytes() == original


@pytest.mark.parametrize("cfg", [
    Reply(content_type="text/xml", body=config_xml(
        '<storage save_base="CSIDL_LOCAL_APPDATA\\VelkoEngine" downurl="http://127.0.0.1:18080/xl/engine.zip">'
        '<file_hash name="xldl.dll" crc="0X1A2B"/></storage>')),
    Reply(content_type="text/xml", body=config_xml(
        '<storage save_base="CSIDL_LOCAL_APPDATA\\VelkoEngine"/>')),
    Reply(content_type="text/plain", body=config_xml(
        '<storage save_base="CSIDL_LOCAL_APPDATA\\VelkoEngine" downurl="http://127.0.0.1:18080/xl/engine.zip"/>')),
], ids=["capital-0X", "missing-downurl", "wrong-content-type"])
def test_configuration_errors_end_silently_after_three_attempts(cycle, update_service, cycle_build, cfg):
    before = installed_crcs(cycle)
    offer_update(update_service, cycle_build, cfg=cfg)
    assert run_installed_updater(cycle, "-Task").returncode == 0
    assert requests_to(update_service, ENGINE_CONFIG_PATH) == 3
    assert requests_to(update_service, ENGINE_ZIP_PATH) == 0
    assert requests_to(update_service, PACKAGE_PATH) == 0
    assert installed_crcs(cycle) == before


def test_engine_without_exports_ends_the_run_without_a_task(cycle, update_service, cycle_build):
    dll = cycle_build["no_exports"].read_bytes()
    archive = io.BytesIO()
    with zipfile.ZipFile(archive, "w") as zipped:
        zipped.writestr("xldl.dll", dll)
    cfg = Reply(content_type="text/xml", body=config_xml(
        f'<storage save_base="{SAVE_BASE}" downurl="http://127.0.0.1:{update_service.port}{ENGINE_ZIP_PATH}">'
        f'<file_hash name="xldl.dll" crc="0x{zlib.crc32(dll):x}"/></storage>'))
    offer_update(update_service, cycle_build, cfg=cfg, engine_zip=archive.getvalue())
    result = run_installed_updater(cycle, "-Task")
    assert result.returncode == 0, result.stderr
    assert requests_to(update_service, ENGINE_ZIP_PATH) == 1
    assert requests_to(update_service, PACKAGE_PATH) == 0


def test_running_browser_postpones_the_update(cycle, update_service, cycle_build, extract_wait_s):
    before = installed_crcs(cycle)
    chrome = cycle.wine.host_path(cycle.default_folder + r"\chrome.exe")
    browser = subprocess.Popen([cycle.wine.loader, str(chrome)], env=cycle.wine.env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        starts = Path(str(chrome) + ".starts.txt")
        assert cycle.wait_until(starts.exists, 30), "the browser did not start"
        offer_update(update_service, cycle_build)
        assert run_installed_updater(cycle, "-Task").returncode == 0
        assert requests_to(update_service, PACKAGE_PATH) == 1
        time.sleep(extract_wait_s + 2)
        after = installed_crcs(cycle)
        after.pop("chrome.exe.starts.txt", None)
        assert after == before
        v2 = cycle_build["v2"].read_bytes()
        assert any(p.read_bytes() == v2 for p in cycle.download_folder.iterdir() if p.is_file())
    finally:
        cycle.wine.run("taskkill", "/F", "/IM", "chrome.exe")
        browser.wait(timeout=30)


@pytest.mark.parametrize("package_name", ["garbage", "hostile_rar"])
def test_bad_packages_change_nothing_outside_their_entries(cycle, update_service, cycle_build,
                                                           extract_wait_s, package_name):
    before = installed_crcs(cycle)
    package = b"this is no archive at all" if package_name == "garbage" \
        else cycle_build["hostile_rar"].read_bytes()
    cycle.task_path.unlink(missing_ok=True)
    offer_update(update_service, cycle_build, package=package)
    assert run_installed_updater(cycle, "-Task").returncode == 0
    assert requests_to(update_service, PACKAGE_PATH) == 1
    if package_name == "garbage":
        time.sleep(extract_wait_s + 4)
        assert installed_crcs(cycle) == before
        assert cycle.task() is None, "no updater may be started after a failed open"
    else:
        install = cycle.wine.host_path(cycle.default_folder)
        assert cycle.wait_until(lambda: (install / "safe" / "inner_ok.txt").exists(),
                                30 + extract_wait_s)
        program_files = install.parent
        drive_c = cycle.wine.drive_c
        for place in (program_files, drive_c, install / "a"):
            assert not list(place.glob("evil_*")), place
        assert not (install / "evil_link").exists()


def test_hostile_engine_zip_writes_nothing_outside_the_save_base(cycle, update_service, cycle_build):
    with zipfile.ZipFile(cycle_build["engine_zip"]) as original:
        dll = original.read("xldl.dll")
    archive = io.BytesIO()
    hostile = ["../evil_zip_parent.txt", "a/../../evil_zip_up2.txt", "/evil_zip_rooted.txt",
               "C:/evil_zip_drive.txt", "..\\evil_zip_backslash.txt"]
    with zipfile.ZipFile(archive, "w") as zipped:
        for name in hostile:
            info = zipfile.ZipInfo("placeholder")
            info.filename = name  # ZipInfo would normalise the name otherwise
            zipped.writestr(info, b"hostile")
        zipped.writestr("xldl.dll", dll)
    cfg = Reply(content_type="text/xml", body=config_xml(
        f'<storage save_base="{SAVE_BASE}" downurl="http://127.0.0.1:{update_service.port}{ENGINE_ZIP_PATH}">'
        f'<file_hash name="xldl.dll" crc="0x{zlib.crc32(dll):x}"/></storage>'))
    offer_update(update_service, cycle_build, cfg=cfg, engine_zip=archive.getvalue(),
                 package=b"not a package")
    assert run_installed_updater(cycle, "-Task").returncode == 0
    assert requests_to(update_service, ENGINE_ZIP_PATH) >= 1
    engine = cycle.engine_folder(SAVE_BASE)
    for place in (engine.parent, cycle.local_appdata.parent, cycle.wine.drive_c,
                  engine / "a"):
        assert not list(place.glob("evil_zip_*")), place


# Integrity, planted files and refused folders ----------------------------------

def engine_cfg(service, save_base: str, files: dict[str, bytes], sha256: bool = True) -> Reply:
    hashes = "".join(
        f'<file_hash name="{name}" crc="0x{zlib.crc32(data):x}"'
        + (f' sha256="{hashlib.sha256(data).hexdigest()}"' if sha256 else "") + "/>"
        for name, data in files.items())
    return Reply(content_type="text/xml", body=config_xml(
        f'<storage save_base="{save_base}" '
        f'downurl="http://127.0.0.1:{service.port}{ENGINE_ZIP_PATH}">{hashes}</storage>'))


def zip_of(files: dict[str, bytes]) -> bytes:
    archive = io.BytesIO()
    with zipfile.ZipFile(archive, "w") as zipped:
        for name, data in files.items():
            zipped.writestr(name, data)
    return archive.getvalue()


def test_three_corrupt_engine_downloads_load_no_stale_engine(cycle, update_service, cycle_build):
    # A working engine from an earlier run sits in the folder, but the
    # configuration names another one; every download of it is corrupt.
    engine = cycle.engine_folder(SAVE_BASE)
    with zipfile.ZipFile(cycle_build["engine_zip"]) as archive:
        archive.extractall(engine)
        dll = archive.read("xldl.dll")
    wanted = dll + b"\0newer build"
    corrupt = zip_of({"xldl.dll": dll + b"\0tampered!!!"})
    offer_update(update_service, cycle_build, cfg=engine_cfg(update_service, SAVE_BASE,
                                                             {"xldl.dll": wanted}),
                 engine_zip=corrupt)
    assert run_installed_updater(cycle, "-Task").returncode == 0
    assert requests_to(update_service, ENGINE_ZIP_PATH) == 3
    # Loading the stale engine would have fetched the package.
    assert requests_to(update_service, PACKAGE_PATH) == 0
    assert (engine / "xldl.dll").read_bytes() == dll


@pytest.mark.parametrize("save_base", [r"\\host\share\VelkoEngine", r"\\?\C:\velko-e2e\engine"],
                         ids=["unc", "device"])
def test_save_base_off_a_local_drive_is_refused(cycle, update_service, cycle_build, save_base):
    with zipfile.ZipFile(cycle_build["engine_zip"]) as archive:
        dll = archive.read("xldl.dll")
    offer_update(update_service, cycle_build,
                 cfg=engine_cfg(update_service, save_base, {"xldl.dll": dll}),
                 engine_zip=zip_of({"xldl.dll": dll}))
    assert run_installed_updater(cycle, "-Task").returncode == 0
    assert requests_to(update_service, ENGINE_CONFIG_PATH) == 3
    assert requests_to(update_service, ENGINE_ZIP_PATH) == 0
    assert requests_to(update_service, PACKAGE_PATH) == 0
    assert not cycle.wine.host_path(r"C:\velko-e2e\engine").exists()


def package_answer(service, sha256: str | None = None, size: int | None = None) -> Reply:
    update = {"url": f"http://127.0.0.1:{service.port}{PACKAGE_PATH}"}
    if sha256 is not None:
        update["sha256"] = sha256
    if size is not None:
        update["size"] = size
    return Reply(body={"ok": True, "update": update})


@pytest.mark.parametrize("mismatch", ["sha256", "size"])
def test_package_with_the_wrong_digest_or_size_is_not_applied(cycle, update_service, cycle_build,
                                                              extract_wait_s, mismatch):
    v2 = cycle_build["v2"].read_bytes()
    before = installed_crcs(cycle)
    offer_update(update_service, cycle_build)
    digest = hashlib.sha256(v2 + b"other").hexdigest() if mismatch == "sha256" \
        else hashlib.sha256(v2).hexdigest()
    size = len(v2) + (1 if mismatch == "size" else 0)
    update_service.set_route(CHECK_PATH, [package_answer(update_service, digest, size)])
    assert run_installed_updater(cycle, "-Task").returncode == 0
    assert requests_to(update_service, PACKAGE_PATH) == 1
    time.sleep(extract_wait_s + 3)
    assert installed_crcs(cycle) == before
    assert not cycle.self_copies()
    assert not any(p.read_bytes() == v2 for p in cycle.download_folder.iterdir() if p.is_file())


def test_package_with_its_digest_and_size_is_applied(cycle, update_service, cycle_build,
                                                     extract_wait_s):
    v2 = cycle_build["v2"].read_bytes()
    offer_update(update_service, cycle_build)
    update_service.set_route(CHECK_PATH, [package_answer(update_service,
                                                         hashlib.sha256(v2).hexdigest(), len(v2))])
    assert run_installed_updater(cycle, "-Task").returncode == 0
    assert cycle.wait_until(lambda: has_files(installed_crcs(cycle), manifest_crcs(cycle_build["v2"])),
                            60 + extract_wait_s)


def test_old_self_copies_are_deleted_and_never_started(cycle, update_service, cycle_build):
    temp = cycle.local_appdata.parent.parent / "Temp"
    planted = [temp / "uperplanted.exe", cycle.download_folder / "uperplanted2.exe"]
    marker = cycle_build["start_marker"]
    for path in planted:
        path.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(marker, path)
    offer_update(update_service, cycle_build, package=b"not a package")
    assert run_installed_updater(cycle, "-Task").returncode == 0
    for path in planted:
        assert not path.exists(), path
        assert not (path.parent / "started.txt").exists(), "a planted copy was started"
