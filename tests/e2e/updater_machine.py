"""The Windows machine as the updater sees it: install folder, registry value,
scheduled task, and the updater program copied into the prefix."""

from __future__ import annotations

import os
import shutil
import subprocess
import time
import zlib
from pathlib import Path

from wine_harness import JobFile, RunResult, WinePrefix, copy_program, parse_job_file

TASK_NAME = "Velko_Browser_Updater"
INSTALL_KEY = r"HKLM\SOFTWARE\VelkoBrowser"
CHECK_PATH = "/velko_browser_update/getinfo"
SCRATCH = r"C:\velko-e2e"


class UpdaterMachine:
    def __init__(self, wine: WinePrefix, updater_exe: Path, versioned_browser_exe: Path) -> None:
        self.wine = wine
        self.updater_exe = updater_exe
        self.versioned_browser_exe = versioned_browser_exe
        self.default_folder = wine.program_files + r"\VelkoBrowser"

    # State -------------------------------------------------------------------

    def clean(self) -> None:
        """No task, no registry value, no install folder, no scratch files."""
        self.task_path.unlink(missing_ok=True)
        self.wine.reg_delete_key(INSTALL_KEY)
        for folder in (self.default_folder, SCRATCH):
            shutil.rmtree(self.wine.host_path(folder), ignore_errors=True)

    @property
    def task_path(self) -> Path:
        return self.wine.task_file(TASK_NAME)

    def task(self) -> JobFile | None:
        return parse_job_file(self.task_path.read_bytes()) if self.task_path.exists() else None

    def install_browser(self, folder: str | None = None, versioned: bool = True,
                        registry_value: str | None = "same", value_type: str = "REG_SZ") -> str:
        """Puts chrome.exe into `folder` (default: Program Files\\VelkoBrowser) and,
        unless registry_value is None, sets InstallPath (default: that folder)."""
        folder = folder or self.default_folder
        chrome = self.wine.host_path(folder + r"\chrome.exe")
        chrome.parent.mkdir(parents=True, exist_ok=True)
        if versioned:
            shutil.copy2(self.versioned_browser_exe, chrome)
        else:
            chrome.write_bytes(b"MZ" + b"\0" * 62)  # no version resource
        if registry_value is not None:
            self.set_install_path(folder if registry_value == "same" else registry_value, value_type)
        return folder

    def set_install_path(self, value: str, value_type: str = "REG_SZ") -> None:
        self.wine.reg_set(INSTALL_KEY, "InstallPath", value_type, value)

    def folder_snapshot(self, folder: str) -> dict[str, bytes]:
        root = self.wine.host_path(folder)
        if not root.exists():
            return {}
        return {str(p.relative_to(root)): p.read_bytes() for p in root.rglob("*") if p.is_file()}

    # Running -----------------------------------------------------------------

    def place_updater(self, windows_path: str = SCRATCH + r"\updater.exe") -> str:
        return copy_program(self.updater_exe, self.wine, windows_path)

    def run_updater(self, *args: str, windows_path: str | None = None,
                    timeout: float = 120) -> RunResult:
        program = self.wine.host_path(windows_path or self.place_updater())
        return self.wine.run(program, *args, timeout=timeout)


# The update cycle ---------------------------------------------------------------

CYCLE_FILES = {
    "v1": "tools/sample_package/velko_browser_sample.rar",
    "v2": "tools/sample_package/velko_browser_v2.rar",
    "cfg": "engine/dist/cfg.xml",
    "engine_zip": "engine/dist/engine.zip",
}


def built_files(build: Path, relative: dict[str, str]) -> dict[str, Path]:
    """name -> file of the build; skips the calling test when one is missing."""
    import pytest

    files = {name: build / path for name, path in relative.items()}
    missing = [str(p) for p in files.values() if not p.is_file()]
    if missing:
        pytest.skip("not built: " + ", ".join(missing))
    return files


ENGINE_CONFIG_PATH = "/xl/cfg.xml"
ENGINE_ZIP_PATH = "/xl/engine.zip"
PACKAGE_PATH = "/packages/velko_browser_v2.rar"


def serve_update_cycle(service, package_rar: Path, cfg_xml: Path, engine_zip: Path,
                       package: bytes | None = None, cfg=None,
                       engine_zip_body: bytes | None = None) -> None:
    """Routes of a whole cycle on the test service: the update answer naming
    the package, the engine configuration, the engine ZIP and the package.
    Any of the last three can be replaced by other contents."""
    from update_service import Reply

    url = f"http://127.0.0.1:{service.port}{PACKAGE_PATH}"
    service.set_route(CHECK_PATH, [Reply(body={"ok": True, "update": {"url": url}})])
    service.set_route(ENGINE_CONFIG_PATH,
                      [cfg or Reply(content_type="text/xml", body_file=str(cfg_xml))])
    octet = "application/octet-stream"
    service.set_route(ENGINE_ZIP_PATH, [Reply(content_type=octet, body=engine_zip_body)
                                        if engine_zip_body is not None else
                                        Reply(content_type=octet, body_file=str(engine_zip))])
    service.set_route(PACKAGE_PATH, [Reply(content_type=octet, body=package)
                                     if package is not None else
                                     Reply(content_type=octet, body_file=str(package_rar))])


def read_manifest(rar: Path) -> dict[str, int]:
    """name (backslashes) -> CRC-32 from a package's .manifest.tsv."""
    manifest = Path(str(rar) + ".manifest.tsv")
    result = {}
    for line in manifest.read_text(encoding="utf-8").splitlines():
        name, _size, crc = line.split("\t")
        result[name] = int(crc, 16)
    return result


class UpdateCycleMachine(UpdaterMachine):
    """UpdaterMachine plus the pieces of a whole update cycle: an installed
    package, the user's local application data and the engine folder."""

    def __init__(self, wine: WinePrefix, updater_exe: Path, versioned_browser_exe: Path,
                 rar: str = "rar") -> None:
        super().__init__(wine, updater_exe, versioned_browser_exe)
        self.rar = rar

    @property
    def local_appdata(self) -> Path:
        users = self.wine.drive_c / "users"
        for user in sorted(users.iterdir()):
            local = user / "AppData" / "Local"
            if user.name.lower() != "public" and local.is_dir():
                return local
        return users / os.environ.get("USER", "root") / "AppData" / "Local"

    @property
    def download_folder(self) -> Path:
        return self.local_appdata / "commdl"

    def engine_folder(self, save_base: str) -> Path:
        """The host folder of a save_base such as CSIDL_LOCAL_APPDATA\\VelkoEngine."""
        relative = save_base.split("\\", 1)[1] if "\\" in save_base else ""
        return self.local_appdata.joinpath(*relative.split("\\"))

    def clean_cycle(self, save_base: str) -> None:
        self.clean()
        shutil.rmtree(self.download_folder, ignore_errors=True)
        shutil.rmtree(self.engine_folder(save_base), ignore_errors=True)
        for copy in self.self_copies():
            copy.unlink(missing_ok=True)

    def self_copies(self) -> list[Path]:
        found = []
        for folder in (self.local_appdata / "Temp", self.download_folder,
                       self.local_appdata.parent.parent / "Temp"):
            if folder.is_dir():
                found += [p for p in folder.glob("uper*.exe")]
        return found

    def install_package(self, rar: Path) -> str:
        """Unpacks a browser package into Program Files\\VelkoBrowser (as the
        installer would) and sets InstallPath."""
        target = self.wine.host_path(self.default_folder)
        target.mkdir(parents=True, exist_ok=True)
        subprocess.run([self.rar, "x", "-o+", "-idq", str(rar), str(target) + "/"], check=True)
        self.set_install_path(self.default_folder)
        return self.default_folder

    def installed_crcs(self) -> dict[str, int]:
        return {name: zlib.crc32(data) for name, data in
                self.folder_snapshot(self.default_folder).items()}

    def wait_until(self, condition, timeout: float) -> bool:
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if condition():
                return True
            time.sleep(0.5)
        return condition()
