#!/usr/bin/env python3
"""Builds a browser package: a RAR archive laid out as the browser ships.

Root: chrome.exe, wow_helper.exe, Updater.exe and a folder named after the
browser version holding 241 files in it and five nested folders (250 entries:
244 files and 6 folders). File contents are generated deterministically from
their names, so two runs give the same files; the small package (default) is
about 1 MB unpacked, the large one (--large) about 280 MB, for benchmarks.

Also writes <archive>.manifest.tsv: one line per file, "name<TAB>size<TAB>crc32"
(names with backslashes, crc32 as 8 hex digits), for tests that compare an
extracted tree with the package.

Usage: make_sample_package.py --output PKG.rar --stage DIR --version V
           --chrome EXE --wow-helper EXE --updater EXE [--large] [--rar rar]
"""
import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import zlib

FIXED_MTIME = 1467331200  # 2016-07-01, keeps archives of identical trees identical

LOCALES = [
    "am", "ar", "bg", "bn", "ca", "cs", "da", "de", "el", "en-GB", "en-US", "es", "es-419",
    "et", "fa", "fi", "fil", "fr", "gu", "he", "hi", "hr", "hu", "id", "it", "ja", "kn",
    "ko", "lt", "lv", "ml", "mr", "ms", "nb", "nl", "pl", "pt-BR", "pt-PT", "ro", "ru",
    "sk", "sl", "sr", "sv", "sw", "ta", "te", "th", "tr", "uk", "vi", "zh-CN", "zh-TW",
]

# (name, small size, large size); large sizes sum to about 280 MB with the rest.
MAJOR_FILES = [
    ("chrome.dll", 96 * 1024, 125_000_000),
    ("chrome_child.dll", 64 * 1024, 62_000_000),
    ("resources.pak", 48 * 1024, 21_000_000),
    ("chrome_100_percent.pak", 24 * 1024, 9_500_000),
    ("chrome_200_percent.pak", 24 * 1024, 9_000_000),
    ("icudtl.dat", 32 * 1024, 10_000_000),
    ("natives_blob.bin", 8 * 1024, 400_000),
    ("snapshot_blob.bin", 8 * 1024, 900_000),
    ("chrome_elf.dll", 16 * 1024, 900_000),
    ("libEGL.dll", 8 * 1024, 300_000),
    ("libGLESv2.dll", 16 * 1024, 3_200_000),
    ("d3dcompiler_47.dll", 16 * 1024, 3_500_000),
    ("widevinecdmadapter.dll", 8 * 1024, 400_000),
    ("chrome.exe.sig", 1024, 2_000),
    ("chrome.dll.sig", 1024, 2_000),
    ("chrome_watcher.dll", 8 * 1024, 600_000),
    ("nacl_irt_x86_32.nexe", 16 * 1024, 3_800_000),
    ("ppGoogleNaClPluginChrome.dll", 8 * 1024, 700_000),
    ("VisualElementsManifest.xml", 512, 512),
    ("51.0.2704.103.manifest", 512, 512),
]


def entries(version):
    """(relative name with backslashes, small size, large size) of the version folder."""
    out = [(f"{version}\\{name}", small, large) for name, small, large in MAJOR_FILES]
    for locale in LOCALES:
        out.append((f"{version}\\Locales\\{locale}.pak", 2048 + 37 * len(locale), 150_000))
    for i in range(60):
        out.append((f"{version}\\Extensions\\ext_{i:02d}.crx", 1024 + 13 * i, 140_000))
    for i in range(44):
        out.append((f"{version}\\default_apps\\app_{i:02d}.crx", 900 + 11 * i, 120_000))
    for i in range(40):
        out.append((f"{version}\\resources\\res_{i:02d}.bin", 700 + 7 * i, 110_000))
    for i in range(24):
        out.append((f"{version}\\resources\\inspector\\panel_{i:02d}.js", 600 + 5 * i, 90_000))
    return out


def content(name, size):
    """Deterministic bytes that compress about as well as a browser's files:
    each 64 KiB block is one quarter random and three quarters text."""
    seed = hashlib.sha256(name.encode("utf-8")).digest()
    text = (f"// {name}: Velko Browser sample content.\n" * 64).encode("utf-8")
    block = 65536
    parts = []
    produced = 0
    index = 0
    while produced < size:
        noise = hashlib.shake_256(seed + index.to_bytes(8, "little")).digest(block // 4)
        chunk = noise + (text * (1 + (3 * block // 4) // len(text)))[: 3 * block // 4]
        chunk = chunk[: size - produced]
        parts.append(chunk)
        produced += len(chunk)
        index += 1
    return b"".join(parts)


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    os.utime(path, (FIXED_MTIME, FIXED_MTIME))


def build_stage(args):
    if os.path.isdir(args.stage):
        shutil.rmtree(args.stage)
    os.makedirs(args.stage)
    manifest = []
    for src, name in ((args.chrome, "chrome.exe"), (args.wow_helper, "wow_helper.exe"),
                      (args.updater, "Updater.exe")):
        with open(src, "rb") as f:
            data = f.read()
        write_file(os.path.join(args.stage, name), data)
        manifest.append((name, data))
    for name, small, large in entries(args.version):
        data = content(name, large if args.large else small)
        write_file(os.path.join(args.stage, *name.split("\\")), data)
        manifest.append((name, data))
    for root, dirs, _ in os.walk(args.stage):
        for d in dirs:
            os.utime(os.path.join(root, d), (FIXED_MTIME, FIXED_MTIME))
    return manifest


def pack(args):
    output = os.path.abspath(args.output)
    if os.path.exists(output):
        os.remove(output)
    names = sorted(os.listdir(args.stage))
    # -r recurse (folders become entries), -ep1 names relative to the stage,
    # -m3 normal compression, -idq quiet, -s- not solid, -tl no archive time.
    cmd = [args.rar, "a", "-r", "-m3", "-idq", "-s-", "-ma5", output] + names
    subprocess.run(cmd, cwd=args.stage, check=True)


def write_manifest(args, manifest):
    with open(args.output + ".manifest.tsv", "w", encoding="utf-8", newline="\n") as f:
        for name, data in manifest:
            f.write(f"{name}\t{len(data)}\t{zlib.crc32(data):08x}\n")


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--output", required=True)
    p.add_argument("--stage", required=True)
    p.add_argument("--version", required=True)
    p.add_argument("--chrome", required=True)
    p.add_argument("--wow-helper", required=True)
    p.add_argument("--updater", required=True)
    p.add_argument("--large", action="store_true")
    p.add_argument("--rar", default="rar")
    args = p.parse_args()
    manifest = build_stage(args)
    pack(args)
    write_manifest(args, manifest)
    print(f"{args.output}: {len(manifest)} files, {sum(len(d) for _, d in manifest)} bytes unpacked, "
          f"{os.path.getsize(args.output)} bytes packed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
