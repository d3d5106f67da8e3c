#!/usr/bin/env python3
"""The update package of the apply tests: a RAR archive holding
  updater.exe            the given marker program (records its start)
  readme.txt             a file at the top
  data/nested/file.txt   a file below two folder entries
Usage: make_apply_archive.py OUTPUT.rar MARKER.exe --rar rar
"""
import argparse
import os
import shutil
import subprocess
import tempfile


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("output")
    parser.add_argument("marker")
    parser.add_argument("--rar", default="rar")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as stage:
        shutil.copyfile(args.marker, os.path.join(stage, "updater.exe"))
        with open(os.path.join(stage, "readme.txt"), "wb") as f:
            f.write(b"version 2\n")
        os.makedirs(os.path.join(stage, "data", "nested"))
        with open(os.path.join(stage, "data", "nested", "file.txt"), "wb") as f:
            f.write(b"nested content\n")
        output = os.path.abspath(args.output)
        os.makedirs(os.path.dirname(output), exist_ok=True)
        if os.path.exists(output):
            os.remove(output)
        subprocess.run([args.rar, "a", "-r", "-idq", "-ma5", output,
                        "updater.exe", "readme.txt", "data"], cwd=stage, check=True)


if __name__ == "__main__":
    main()
