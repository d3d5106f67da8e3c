"""Running the Windows programs of a build under Wine from pytest.

The prefix is the build's own (BUILD/wineprefix), prepared by scripts/wine-prefix.sh,
with the environment of scripts/wine-env.sh, so tests, ctest and hand runs share it.
Every prefix is a 64-bit one: a 32-bit build's programs see it as 32-bit programs see
64-bit Windows ("C:\\Program Files (x86)", the registry's WOW6432Node), and they run
natively or through qemu-user, whichever this machine needs (`route`).
Helpers: run a program (exit code as Linux sees it, i.e. modulo 256), map C:\\ paths
to host paths, edit and export registry keys, and read Task Scheduler 1.0 .job files.
"""

from __future__ import annotations

import os
import shutil
import struct
import subprocess
import tempfile
from dataclasses import dataclass, field
from pathlib import Path, PureWindowsPath

ROOT = Path(__file__).resolve().parents[2]
SCRIPTS = ROOT / "scripts"


def build_dir() -> Path:
    """The Windows build under test: $VELKO_BUILD_DIR, else build/windows64."""
    return Path(os.environ.get("VELKO_BUILD_DIR", ROOT / "build" / "windows64")).resolve()


def cmake_cache_value(build: Path, name: str) -> str | None:
    try:
        lines = (build / "CMakeCache.txt").read_text(encoding="utf-8", errors="replace").splitlines()
    except OSError:
        return None
    for line in lines:
        if line.startswith(name + ":"):
            return line.split("=", 1)[1]
    return None


def exit_code(windows_code: int) -> int:
    """A Windows exit code as Linux reports it (-1 becomes 255)."""
    return windows_code & 0xFF


@dataclass
class RunResult:
    returncode: int
    stdout: str
    stderr: str


class WinePrefix:
    """The private prefix of one build folder."""

    def __init__(self, build: Path, overrides: dict[str, str] | None = None) -> None:
        """`overrides`: environment variables for scripts/wine-env.sh, for example
        VELKO_32BIT_ROUTE=qemu to force the qemu route."""
        self.build = build
        self.env = self._wine_environment(overrides or {})
        # The loader: Wine's own, or on the qemu route the wrapper that runs it
        # with i386 programs going through qemu-user. Either keeps the process ID.
        self.loader = self.env["VELKO_WINE"]
        self.prefix = Path(self.env["WINEPREFIX"])
        self.programs_32bit = self.env.get("VELKO_PROGRAM_BITS") == "32"
        self.route = self.env["VELKO_ROUTE"]
        self.route_reason = self.env["VELKO_ROUTE_REASON"]

    def _wine_environment(self, overrides: dict[str, str]) -> dict[str, str]:
        display = os.environ.get("DISPLAY") or subprocess.run(
            [str(SCRIPTS / "xvfb.sh")], capture_output=True, text=True, check=True).stdout.strip()
        script = '. "$1/wine-env.sh"; velko_wine_env "$2" || exit 1; env -0'
        dump = subprocess.run(["bash", "-c", script, "_", str(SCRIPTS), str(self.build)],
                              capture_output=True, env={**os.environ, **overrides, "DISPLAY": display})
        if dump.returncode != 0:
            raise RuntimeError(dump.stderr.decode("utf-8", "replace").strip())
        env = dict(item.split("=", 1) for item in dump.stdout.decode().split("\0") if "=" in item)
        env["DISPLAY"] = display
        return env

    def prepare(self) -> None:
        subprocess.run([str(SCRIPTS / "wine-prefix.sh"), str(self.build)], env=self.env,
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       stdin=subprocess.DEVNULL, timeout=600)

    def run(self, program: str | Path, *args: str, timeout: float = 120) -> RunResult:
        """Runs a program and waits for its exit (not for the helper processes
        Wine leaves behind, which would hold captured pipes open). Wine's own
        programs named without a path (reg, taskkill) run as 64-bit programs."""
        is_tool = isinstance(program, str) and not any(c in program for c in "\\/:")
        loader = self.env["VELKO_WINE64"] if is_tool else self.loader
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            proc = subprocess.run([loader, str(program), *args], env=self.env,
                                  stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  timeout=timeout)
            out.seek(0)
            err.seek(0)
            return RunResult(proc.returncode, out.read().decode("utf-8", "replace"),
                             err.read().decode("utf-8", "replace"))

    def wait_for_server(self) -> None:
        """Lets the wineserver flush the registry to disk."""
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=120)

    # Paths -------------------------------------------------------------------

    @property
    def drive_c(self) -> Path:
        return self.prefix / "drive_c"

    def host_path(self, windows_path: str) -> Path:
        """C:\\a\\b -> PREFIX/drive_c/a/b (drive C only)."""
        pure = PureWindowsPath(windows_path)
        if pure.drive.upper() != "C:":
            raise ValueError(f"not on drive C: {windows_path}")
        return self.drive_c.joinpath(*pure.parts[1:])

    def task_file(self, task_name: str) -> Path:
        """The .job file of a Task Scheduler 1.0 task. Wine creates the folder as
        "tasks"; Windows spells it "Tasks"."""
        windows = self.drive_c / "windows"
        folder = next((p for p in windows.iterdir() if p.name.lower() == "tasks"), windows / "Tasks")
        return folder / f"{task_name}.job"

    @property
    def program_files(self) -> str:
        """Program Files as the build's own programs see it: 32-bit programs on
        64-bit Windows are given "Program Files (x86)"."""
        return r"C:\Program Files (x86)" if self.programs_32bit else r"C:\Program Files"

    # Registry ----------------------------------------------------------------

    def reg(self, *args: str, view: str | None = None) -> RunResult:
        """reg.exe (COMMAND KEY ...) in the registry view the build's programs see,
        or in `view` ("32"/"64"). For 32-bit programs 64-bit Windows redirects
        HKLM\\SOFTWARE to its WOW6432Node; class and user keys are shared."""
        if view is None:
            key = args[1].upper() if len(args) > 1 else ""
            machine_software = key.startswith((r"HKLM\SOFTWARE", r"HKEY_LOCAL_MACHINE\SOFTWARE"))
            view = "32" if self.programs_32bit and machine_software else "64"
        return self.run("reg", *args, f"/reg:{view}")

    def reg_set(self, key: str, name: str, value_type: str, data: str) -> None:
        result = self.reg("add", key, "/v", name, "/t", value_type, "/d", data, "/f")
        assert result.returncode == 0, result.stderr

    def reg_delete_key(self, key: str) -> None:
        self.reg("delete", key, "/f")

    def reg_export(self, key: str) -> dict[str, str] | None:
        """The string values of a key (exported as UTF-16LE, so any text survives),
        or None when the key does not exist."""
        with tempfile.TemporaryDirectory() as scratch:
            target = Path(scratch) / "export.reg"
            windows_target = "Z:" + str(target).replace("/", "\\")
            if self.reg("export", key, windows_target, "/y").returncode != 0:
                return None
            return parse_reg_export(target.read_bytes())


def parse_reg_export(data: bytes) -> dict[str, str]:
    """"name"="text" lines of a regedit export; "@" names the default value."""
    text = data.decode("utf-16-le" if data[:2] == b"\xff\xfe" else "utf-8").lstrip("\ufeff")
    values: dict[str, str] = {}
    for line in text.splitlines():
        if "=" not in line or not line.startswith(('"', "@")):
            continue
        name, _, value = line.partition("=")
        name = name.strip('"')
        if value.startswith('"') and value.endswith('"'):
            values[name] = value[1:-1].replace('\\\\', '\\').replace('\\"', '"')
    return values


# Task Scheduler 1.0 .job files -------------------------------------------------

@dataclass
class JobTrigger:
    size: int
    begin: tuple[int, int, int]
    end: tuple[int, int, int]
    start: tuple[int, int]
    duration_min: int
    interval_min: int
    flags: int
    trigger_type: int


@dataclass
class JobFile:
    flags: int
    application: str
    parameters: str
    working_directory: str
    author: str
    comment: str
    triggers: list[JobTrigger] = field(default_factory=list)


def _read_unicode(data: bytes, offset: int) -> tuple[str, int]:
    (chars,) = struct.unpack_from("<H", data, offset)
    offset += 2
    text = data[offset:offset + 2 * chars].decode("utf-16-le").rstrip("\0")
    return text, offset + 2 * chars


def parse_job_file(data: bytes) -> JobFile:
    """The fixed section (68 bytes) and the variable section of a .job file."""
    (flags,) = struct.unpack_from("<I", data, 0x30)
    offset = 68 + 2  # running instance count
    application, offset = _read_unicode(data, offset)
    parameters, offset = _read_unicode(data, offset)
    working_directory, offset = _read_unicode(data, offset)
    author, offset = _read_unicode(data, offset)
    comment, offset = _read_unicode(data, offset)
    for _ in ("user data", "reserved data"):
        (size,) = struct.unpack_from("<H", data, offset)
        offset += 2 + size
    (count,) = struct.unpack_from("<H", data, offset)
    offset += 2
    triggers = []
    for _ in range(count):
        fields = struct.unpack_from("<HH3H3H2HIIII", data, offset)
        triggers.append(JobTrigger(size=fields[0], begin=fields[2:5], end=fields[5:8],
                                   start=fields[8:10], duration_min=fields[10],
                                   interval_min=fields[11], flags=fields[12],
                                   trigger_type=fields[13]))
        offset += fields[0]
    return JobFile(flags, application, parameters, working_directory, author, comment, triggers)


def copy_program(source: Path, prefix: WinePrefix, windows_path: str) -> str:
    """Copies a program into the prefix and returns its Windows path."""
    target = prefix.host_path(windows_path)
    target.parent.mkdir(parents=True, exist_ok=True)
    shutil.copy2(source, target)
    return windows_path
