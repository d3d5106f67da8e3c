"""The Windows machine as the updater sees it: install folder, registry value,
scheduled task, and the updater program copied into the prefix."""

from __future__ import annotations

import shutil
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
        # Wine creates the folder as "tasks"; Windows spells it "Tasks".
        windows = self.wine.drive_c / "windows"
        folder = next((p for p in windows.iterdir() if p.name.lower() == "tasks"),
                      windows / "Tasks")
        return folder / f"{TASK_NAME}.job"

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
