#!/usr/bin/env python3
"""Generates the scale run's package at run time (it is never stored): the large
package's tree plus generated files up to a total size and entry count.

  make_scale_package.py --stage-from STAGE --output PKG.rar --stage DIR
                        --megabytes 1024 --entries 5000 [--rar rar]

STAGE is the large package's stage folder (the build's
tools/sample_package/stage_large): its programs and files are copied as they
are, so the installer finds the browser it starts at the end. The added files
sit below the version folder in folders of 100, with the same mix of text and
noise as the sample packages' contents (so they compress alike), and fill the
rest of the size evenly. The archive is packed like the sample packages
(-m3, not solid, RAR5).
"""
import argparse
import os
import shutil
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "sample_package"))
from make_sample_package import content, write_file  # noqa: E402


def main() -> int:
    p = argparse.ArgumentParser()
    p.add_argument("--stage-from", required=True)
    p.add_argument("--output", required=True)
    p.add_argument("--stage", required=True)
    p.add_argument("--megabytes", type=int, default=1024)
    p.add_argument("--entries", type=int, default=5000)
    p.add_argument("--rar", default="rar")
    args = p.parse_args()

    stage = Path(args.stage)
    shutil.rmtree(stage, ignore_errors=True)
    shutil.copytree(args.stage_from, stage)
    version = next(d.name for d in stage.iterdir() if d.is_dir())
    files = [f for f in stage.rglob("*") if f.is_file()]
    folders = [f for f in stage.rglob("*") if f.is_dir()]
    have_bytes = sum(f.stat().st_size for f in files)
    want_bytes = args.megabytes * 1024 * 1024
    added_folders = 0
    # Less one for the "scale" folder that holds the added folders.
    added = max(0, args.entries - len(files) - len(folders) - 1)
    # Each new folder is an entry too: 100 files per folder.
    while added > 0 and added_folders < (added - added_folders + 99) // 100:
        added_folders += 1
    added -= added_folders
    size = max(0, want_bytes - have_bytes) // max(added, 1)
    for i in range(added):
        name = f"{version}\\scale\\part_{i // 100:03d}\\file_{i:05d}.bin"
        write_file(str(stage.joinpath(*name.split("\\"))), content(name, size))
    output = os.path.abspath(args.output)
    if os.path.exists(output):
        os.remove(output)
    names = sorted(os.listdir(stage))
    subprocess.run([args.rar, "a", "-r", "-m3", "-idq", "-s-", "-ma5", output] + names, cwd=stage, check=True)
    total = sum(f.stat().st_size for f in stage.rglob("*") if f.is_file())
    entries = sum(1 for _ in stage.rglob("*"))
    print(f"scale package: {output}: {entries} entries, {total:,} bytes unpacked, "
          f"{os.path.getsize(output):,} bytes packed")
    shutil.rmtree(stage, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
