"""Driving installer.exe under Wine on the virtual display, as a user would.

Windows are found by their title with xdotool, clicked with the real mouse at the
element rectangles that `uilibtool layout` reports for the installer's skin, and
read back as pixels (ImageMagick's `import` of the screen). Texts that the
installer paints are compared with `uilibtool render` pictures of the same skin
whose label carries the expected text, so no text is read from inside the program.
"""

from __future__ import annotations

import json
import shutil
import subprocess
import tempfile
import threading
import time
from dataclasses import dataclass
from pathlib import Path

import uilibtool_runner
from screen_reader import ScreenReader
from wine_harness import WinePrefix

TITLE = "安装岚石浏览器"
STARTMENU_KEY = r"HKLM\SOFTWARE\Clients\StartMenuInternet\Velko Browser"
REGISTERED_APPS_KEY = r"HKLM\SOFTWARE\RegisteredApplications"
DOCUMENT_CLASS_KEY = r"HKCR\ChromeVelkoHTML"
SHORTCUT_NAME = "岚石浏览器.lnk"
TASK_NAME = "Velko_Browser_Updater"
MUTEX_NAME = "{EA46CAF6-FBFA-437A-AC10-841335B00F6B}"


def install_dir(wine: WinePrefix) -> str:
    """The install folder as the installer names it: under the program-files
    folder that the build's programs see (Program Files (x86) for 32-bit ones)."""
    return wine.program_files + r"\VelkoBrowser"


def windows_path(host: Path) -> str:
    return "Z:" + str(host).replace("/", "\\")


# Pictures -----------------------------------------------------------------------

@dataclass
class Picture:
    """RGB pixels, row by row."""
    width: int
    height: int
    data: bytes

    def pixel(self, x: int, y: int) -> tuple[int, int, int]:
        i = 3 * (y * self.width + x)
        return self.data[i], self.data[i + 1], self.data[i + 2]

    def region(self, rect: dict) -> "Picture":
        x, y, w, h = (int(rect[k]) for k in ("x", "y", "w", "h"))
        rows = [self.data[3 * ((y + r) * self.width + x):3 * ((y + r) * self.width + x + w)]
                for r in range(h)]
        return Picture(w, h, b"".join(rows))

    def distance(self, other: "Picture") -> float:
        """Mean absolute difference per channel (0-255)."""
        assert (self.width, self.height) == (other.width, other.height)
        return sum(abs(a - b) for a, b in zip(self.data, other.data)) / max(1, len(self.data))

    def spread(self) -> int:
        """Brightness range: 0 for a flat area."""
        sums = [sum(self.data[i:i + 3]) for i in range(0, len(self.data), 3)]
        return (max(sums) - min(sums)) // 3 if sums else 0


def read_png(path: Path) -> Picture:
    """A PNG flattened onto black, as RGB."""
    size = subprocess.run(["identify", "-format", "%w %h", str(path)], capture_output=True,
                          text=True, check=True).stdout.split()
    raw = subprocess.run(["convert", str(path), "-background", "black", "-flatten", "-depth", "8",
                          "rgb:-"], capture_output=True, check=True).stdout
    return Picture(int(size[0]), int(size[1]), raw)


# The skin's geometry and reference pictures ------------------------------------

class Skin:
    """Element rectangles of both windows and rendered references of texts."""

    def __init__(self) -> None:
        self.rects = {window: self._layout(window) for window in ("Welcome", "Install")}
        self._references: dict[str, Picture] = {}

    @staticmethod
    def _layout(window: str) -> dict[str, dict]:
        code, out, err = uilibtool_runner.run_tool("layout", windows_path(Path(uilibtool_runner.SKIN)),
                                                   window)
        assert code == 0, err
        rects: dict[str, dict] = {}

        def walk(node: dict) -> None:
            if node.get("id"):
                rects.setdefault(node["id"], node["rect"])
            for child in node.get("children", []):
                walk(child)

        walk(json.loads(out))
        return rects

    def window_picture(self, window: str) -> Picture:
        """The window as `uilibtool render` draws it with the skin's own texts."""
        key = "window:" + window
        if key not in self._references:
            with tempfile.TemporaryDirectory() as scratch:
                picture = Path(scratch) / "window.png"
                code, _, err = uilibtool_runner.run_tool("render", windows_path(Path(uilibtool_runner.SKIN)),
                                                         window, windows_path(picture))
                assert code == 0, err
                self._references[key] = read_png(picture)
        return self._references[key]

    def shows(self, frame: Picture, window: str) -> bool:
        """Whether a picture of the installer's area shows `window` rather than
        the other window (both have the same size and place)."""
        other = "Install" if window == "Welcome" else "Welcome"
        if (frame.width, frame.height) != (self.window_picture(window).width,
                                           self.window_picture(window).height):
            return False
        return frame.distance(self.window_picture(window)) < frame.distance(self.window_picture(other))

    def center(self, window: str, element: str) -> tuple[int, int]:
        r = self.rects[window][element]
        return int(r["x"] + r["w"] / 2), int(r["y"] + r["h"] / 2)

    def progress_text_reference(self, text: str) -> Picture:
        """The Install window's label area as it looks when it shows `text`."""
        if text not in self._references:
            skin = Path(uilibtool_runner.SKIN).read_text(encoding="utf-8")
            marker = 'id="install-progress"'
            assert marker in skin
            start = skin.index(marker)
            value_at = skin.index('value="', start) + len('value="')
            end = skin.index('"', value_at)
            with tempfile.TemporaryDirectory() as scratch:
                patched = Path(scratch) / "skin.xml"
                patched.write_text(skin[:value_at] + text + skin[end:], encoding="utf-8")
                picture = Path(scratch) / "install.png"
                code, _, err = uilibtool_runner.run_tool("render", windows_path(patched), "Install",
                                                         windows_path(picture))
                assert code == 0, err
                self._references[text] = read_png(picture).region(
                    self.rects["Install"]["install-progress"])
        return self._references[text]


# The display ---------------------------------------------------------------------

class Display:
    def __init__(self, wine: WinePrefix) -> None:
        self.env = {"DISPLAY": wine.env["DISPLAY"], "PATH": "/usr/local/bin:/usr/bin:/bin"}

    def xdotool(self, *args: str) -> str:
        return subprocess.run(["xdotool", *args], capture_output=True, text=True, env=self.env,
                              timeout=30).stdout

    def installer_windows(self, pid: int) -> list[str]:
        """Visible windows titled like the installer's, of one process (the
        same display may show other programs' pictures of the same skin)."""
        return self.xdotool("search", "--onlyvisible", "--pid", str(pid), "--name", f"^{TITLE}$").split()

    def geometry(self, window: str) -> tuple[int, int, int, int]:
        """Absolute position and size (xdotool's own is wrong for windows
        inside a Wine desktop window)."""
        info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True,
                              env=self.env, timeout=30).stdout
        values = {}
        for line in info.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                int(values["Width"]), int(values["Height"]))

    def is_minimized(self, window: str) -> bool:
        """Unmapped, or (Wine's unmanaged windows) moved to the icon place at
        the bottom of the screen."""
        info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True,
                              env=self.env, timeout=30).stdout
        if "IsViewable" not in info:
            return True
        _, y, _, _ = self.geometry(window)
        screen_h = int(self.xdotool("getdisplaygeometry").split()[1])
        return y >= screen_h - 40

    def click(self, window: str, x: int, y: int) -> None:
        # Other programs on the same display may show the same skin at the
        # same place: ours goes on top first.
        self.xdotool("windowraise", window)
        wx, wy, _, _ = self.geometry(window)
        # A synchronous move to where the pointer already is waits for a
        # motion that never comes: start from elsewhere.
        self.xdotool("mousemove", str(wx + x + 7), str(wy + y + 7))
        self.xdotool("mousemove", "--sync", str(wx + x), str(wy + y))
        time.sleep(0.3)  # let the window see the pointer arrive (hover state)
        self.xdotool("click", "1")

    def grab(self, window: str) -> Picture | None:
        """The window's area of the screen, or None when it is gone."""
        self.xdotool("windowraise", window)  # above other programs' windows
        try:
            x, y, w, h = self.geometry(window)
        except (KeyError, ValueError):
            return None
        raw = subprocess.run(["import", "-silent", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}",
                              "-depth", "8", "rgb:-"], capture_output=True, env=self.env).stdout
        if len(raw) != 3 * w * h:
            return None
        return Picture(w, h, raw)

    def save(self, window: str, path: Path) -> None:
        x, y, w, h = self.geometry(window)
        subprocess.run(["import", "-silent", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", str(path)],
                       env=self.env, check=True)


# The shell -------------------------------------------------------------------------

class ShellTray:
    """A stand-in taskbar window ("Shell_TrayWnd") whose process's user the
    installer starts the browser as (installer/tests/shell_tray_stand_in)."""

    def __init__(self, wine: WinePrefix, program: Path) -> None:
        self.wine = wine
        self.process = subprocess.Popen([wine.loader, str(program)], env=wine.env,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        time.sleep(2)  # its window exists well before this

    def stop(self) -> None:
        if self.process.poll() is None:
            self.wine.run("taskkill", "/im", self.process.args[1].rsplit("/", 1)[-1], timeout=60)
            try:
                self.process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.process.kill()


# One installer run --------------------------------------------------------------

class InstallerRun:
    """installer.exe started in the background."""

    def __init__(self, wine: WinePrefix, program: Path, display: Display) -> None:
        self.display = display
        self.process = subprocess.Popen([wine.loader, str(program)], env=wine.env,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)

    def wait_window(self, timeout: float = 60, other_than: str | None = None, settle: float = 0.3,
                    size: tuple[int, int] | None = None, or_exit: bool = False) -> str | None:
        """A window of the installer (other than `other_than`, of `size` when
        given), `settle` seconds after it was found (its first paint). With
        `or_exit`, None when the installer ended first (a window may live for
        less time than one look for it takes)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = [w for w in self.windows() if w != other_than and (size is None or self._size(w) == size)]
            if found:
                time.sleep(settle)
                return found[-1]
            if self.process.poll() is not None:
                if or_exit:
                    return None
                raise AssertionError(f"installer ended with {self.process.returncode}")
            time.sleep(0.1)
        raise AssertionError("no installer window appeared")

    def click_and_watch(self, window: str, x: int, y: int, timeout: float = 300) -> list[Picture]:
        """Clicks (x, y) of `window` and returns every different picture of the
        window's area from just before the click until the installer ends. The
        next window appears in the same place, so it is seen however briefly it
        is shown; which window a picture shows is for the caller to tell
        (Skin.shows)."""
        x0, y0, width, height = self.display.geometry(window)
        frames: list[Picture] = []
        ended = threading.Event()

        def read() -> None:
            reader = ScreenReader(self.display.env["DISPLAY"])
            try:
                while True:
                    last = ended.is_set()
                    raw = reader.read(x0, y0, width, height)
                    if raw is not None and (not frames or frames[-1].data != raw):
                        frames.append(Picture(width, height, raw))
                    if last:
                        return
                    time.sleep(0.002)  # leave the CPU to the installer between reads
            finally:
                reader.close()

        reader = threading.Thread(target=read, daemon=True)
        reader.start()
        try:
            self.display.click(window, x, y)
            self.process.wait(timeout=timeout)
        finally:
            ended.set()
            reader.join(timeout=30)
        return frames

    def _size(self, window: str) -> tuple[int, int] | None:
        try:
            return self.display.geometry(window)[2:]
        except (KeyError, ValueError):
            return None  # gone meanwhile

    def windows(self) -> list[str]:
        return self.display.installer_windows(self.process.pid)

    def wait_exit(self, timeout: float = 120) -> int:
        return self.process.wait(timeout=timeout)

    def running(self) -> bool:
        return self.process.poll() is None

    def kill(self) -> None:
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=30)
            time.sleep(1)  # the wineserver lets go of its mutex and windows


# The machine ---------------------------------------------------------------------

class InstallerMachine:
    """The prefix as the installer leaves it: folder, registry, shortcut, processes."""

    def __init__(self, wine: WinePrefix) -> None:
        self.wine = wine
        self.install_dir_windows = install_dir(wine)
        self.install_dir = wine.host_path(self.install_dir_windows)

    def stop_browsers(self) -> None:
        self.wine.run("taskkill", "/f", "/im", "chrome.exe", timeout=60)

    def clean(self) -> None:
        self.stop_browsers()
        shutil.rmtree(self.install_dir, ignore_errors=True)
        for key in (STARTMENU_KEY, DOCUMENT_CLASS_KEY):
            self.wine.reg_delete_key(key)
        self.wine.reg("delete", REGISTERED_APPS_KEY, "/v", "Velko Browser", "/f")
        for shortcut in self.shortcuts():
            shortcut.unlink()
        for archive in self.temp_archives():
            archive.unlink()
        self.wine.task_file(TASK_NAME).unlink(missing_ok=True)

    def user_folders(self) -> list[Path]:
        users = self.wine.drive_c / "users"
        return [p for p in users.iterdir() if p.is_dir()] if users.is_dir() else []

    def shortcuts(self) -> list[Path]:
        return [p / "Desktop" / SHORTCUT_NAME for p in self.user_folders()
                if (p / "Desktop" / SHORTCUT_NAME).exists()]

    def temp_archives(self) -> list[Path]:
        found = []
        for user in self.user_folders():
            local = user / "AppData" / "Local"
            if local.is_dir():
                found += [p for p in local.iterdir() if p.suffix == ".rar" and p.stem.isdigit()]
        return found

    def installed_files(self) -> dict[str, int]:
        """Relative path (forward slashes, original case) -> size."""
        if not self.install_dir.is_dir():
            return {}
        return {str(p.relative_to(self.install_dir)): p.stat().st_size
                for p in self.install_dir.rglob("*") if p.is_file()}

    def browser_record(self) -> str:
        record = self.install_dir / "chrome.exe.starts.txt"
        # Bytes decoded as they are: the record's lines end in CR LF.
        return record.read_bytes().decode("utf-8", "replace") if record.exists() else ""


# What the installer wrote ---------------------------------------------------------

def read_reg_tree(wine, key: str) -> dict[str, dict[str, str]] | None:
    """{key path: {value name: 'sz:...' / 'dword:...'}} of an exported tree."""
    with tempfile.TemporaryDirectory() as scratch:
        target = Path(scratch) / "export.reg"
        if wine.reg("export", key, "Z:" + str(target).replace("/", "\\"), "/y").returncode != 0:
            return None
        data = target.read_bytes()
    text = data.decode("utf-16-le" if data[:2] == b"\xff\xfe" else "utf-8").lstrip("\ufeff")
    tree: dict[str, dict[str, str]] = {}
    current = None
    for line in text.splitlines():
        if line.startswith("[") and line.endswith("]"):
            current = line[1:-1]
            tree[current] = {}
        elif current is not None and "=" in line and line.startswith(('"', "@")):
            name, _, value = line.partition("=")
            name = "" if name == "@" else name.strip('"').replace('\\\\', '\\')
            if value.startswith('"'):
                value = "sz:" + value[1:-1].replace('\\"', '"').replace('\\\\', '\\')
            tree[current][name] = value
    return tree


def registry_rows(wine) -> dict[tuple[str, str | None], str]:
    """(key, value name or None for a key without values) -> data, as written."""
    rows: dict[tuple[str, str | None], str] = {}
    for key in (STARTMENU_KEY, DOCUMENT_CLASS_KEY):
        for path, values in (read_reg_tree(wine, key) or {}).items():
            if not values:
                rows[(path, None)] = ""
            for name, data in values.items():
                rows[(path, name)] = data
    apps = read_reg_tree(wine, REGISTERED_APPS_KEY) or {}
    for path, values in apps.items():
        if "Velko Browser" in values:
            rows[(path, "Velko Browser")] = values["Velko Browser"]
    return rows


def shell_link_fields(data: bytes) -> dict[str, str]:
    """Target (link info's local path) and working folder of a .lnk file."""
    flags = int.from_bytes(data[0x14:0x18], "little")
    offset = 0x4C
    fields: dict[str, str] = {}
    if flags & 0x1:  # HasLinkTargetIDList
        offset += 2 + int.from_bytes(data[offset:offset + 2], "little")
    if flags & 0x2:  # HasLinkInfo
        size = int.from_bytes(data[offset:offset + 4], "little")
        header = int.from_bytes(data[offset + 4:offset + 8], "little")
        base = int.from_bytes(data[offset + 16:offset + 20], "little")
        if header >= 0x24:
            ubase = int.from_bytes(data[offset + 28:offset + 32], "little")
            end = data.index(b"\0\0", offset + ubase)
            end += (end - (offset + ubase)) % 2
            fields["target"] = data[offset + ubase:end].decode("utf-16-le")
        elif base:
            end = data.index(b"\0", offset + base)
            fields["target"] = data[offset + base:end].decode("latin-1")
        offset += size
    unicode = bool(flags & 0x80)
    for flag, name in ((0x4, "name"), (0x8, "relative"), (0x10, "working"), (0x20, "arguments"),
                       (0x40, "icon")):
        if flags & flag:
            count = int.from_bytes(data[offset:offset + 2], "little")
            offset += 2
            width = 2 if unicode else 1
            raw = data[offset:offset + count * width]
            # Wine counts the terminating null as well.
            fields[name] = raw.decode("utf-16-le" if unicode else "latin-1").rstrip("\0")
            offset += count * width
    return fields
