#!/usr/bin/env python3
"""Renders every window of the widget gallery skin to PNG with `uilibtool render`.

The gallery folder (uilib/widgets/gallery) is copied to the output folder with its
placeholders filled in: @GALLERY_DIR@ becomes the copy's Windows path (Wine's Z: drive)
and @GALLERY_URL@ the address of a loopback HTTP server that serves the copy while the
windows are rendered (remote pictures and the ad's configuration).

    widget_gallery.py --tool BUILD/tools/uilibtool/uilibtool.exe --out OUT_DIR
"""
import argparse
import functools
import http.server
import pathlib
import shutil
import subprocess
import sys
import threading
import xml.etree.ElementTree as ET

ROOT = pathlib.Path(__file__).resolve().parent.parent
GALLERY = ROOT / "uilib" / "widgets" / "gallery"
SKIN = "gallery_skin.xml"


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def fill_placeholders(folder, url):
    windows_dir = "Z:" + str(folder).replace("/", "\\")
    for path in folder.glob("*.xml"):
        text = path.read_text(encoding="utf-8")
        text = text.replace("@GALLERY_DIR@", windows_dir).replace("@GALLERY_URL@", url)
        path.write_text(text, encoding="utf-8")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True, type=pathlib.Path)
    parser.add_argument("--out", required=True, type=pathlib.Path)
    args = parser.parse_args()

    site = args.out / "site"
    shutil.rmtree(args.out, ignore_errors=True)
    shutil.copytree(GALLERY, site)
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(QuietHandler, directory=str(site)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        fill_placeholders(site, f"http://127.0.0.1:{server.server_address[1]}")
        skin = site / SKIN
        failures = 0
        for window in ET.parse(skin).getroot().iter("window"):
            name = window.get("id")
            png = args.out / f"{name}.png"
            with open(args.out / f"{name}.log", "wb") as log:
                rc = subprocess.run([str(ROOT / "scripts" / "wine-run.sh"), str(args.tool), "render",
                                     str(skin), name, str(png)],
                                    stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                    timeout=180).returncode
            if rc == 0 and png.exists():
                print(f"{name}: {png}")
            else:
                failures += 1
                print(f"{name}: render failed (exit {rc}), see {args.out / (name + '.log')}")
        return 1 if failures else 0
    finally:
        server.shutdown()


if __name__ == "__main__":
    sys.exit(main())
