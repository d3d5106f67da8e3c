#!/usr/bin/env python3
"""Archives for the extraction tests, written into OUTDIR:

  hostile.rar    RAR 5 archive whose file entries are named to escape the
                 extraction folder ("../", "a/../../", a rooted name, a drive
                 prefix, a stream name), a symbolic link "evil_link" pointing
                 out of the folder, and one ordinary file "safe/inner_ok.txt". rar refuses to store such names, so the
                 archive is made with harmless names of the same length and
                 the names are then patched in place, with each patched
                 header's CRC32 recomputed.
  corrupt.rar    bytes that are no archive at all.
  truncated.rar  the first half of PACKAGE (a valid archive cut short).
  unicode5.rar   RAR 5 with the Unicode names of make_rar4_archives.py
  solid.rar      a solid, compressed RAR 5 archive of six files
  rar4_*.rar     stored RAR 4 archives (make_rar4_archives.py)
Each file of unicode5.rar and solid.rar holds "content of <name>\n", the
name with "\" separators.

Usage: make_test_archives.py OUTDIR PACKAGE.rar [--rar rar]
"""
import os
import shutil
import subprocess
import sys
import tempfile
import zlib

import make_rar4_archives

SIGNATURE = b"Rar!\x1a\x07\x01\x00"

# archived (harmless) name -> name written into the header, equal length
HOSTILE_NAMES = {
    "AA/evil_parent.txt": "../evil_parent.txt",
    "a/BB/CC/evil_up2.txt": "a/../../evil_up2.txt",
    "Xevil_rooted.txt": "/evil_rooted.txt",
    "CXevil_drive.txt": "C:evil_drive.txt",
    "DDD/evil_dots.txt": ".../evil_dots.txt",
    "evil_stream.txtXs": "evil_stream.txt:s",
}
SAFE_NAME = "safe/inner_ok.txt"


def read_vint(data, pos):
    value, shift = 0, 0
    while True:
        byte = data[pos]
        pos += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if not byte & 0x80:
            return value, pos


def patch_names(archive):
    """Rewrites file-header names per HOSTILE_NAMES; returns how many."""
    data = bytearray(archive)
    assert data.startswith(SIGNATURE), "not a RAR 5 archive"
    pos, patched = len(SIGNATURE), 0
    while pos < len(data):
        crc_pos = pos
        size, body = read_vint(data, pos + 4)
        end = body + size
        kind, p = read_vint(data, body)
        flags, p = read_vint(data, p)
        if flags & 1:
            _, p = read_vint(data, p)  # extra area size
        data_size = 0
        if flags & 2:
            data_size, p = read_vint(data, p)
        if kind == 2:  # file header
            file_flags, p = read_vint(data, p)
            _, p = read_vint(data, p)  # unpacked size
            _, p = read_vint(data, p)  # attributes
            if file_flags & 2:
                p += 4  # mtime
            if file_flags & 4:
                p += 4  # data CRC32
            _, p = read_vint(data, p)  # compression info
            _, p = read_vint(data, p)  # host OS
            name_len, p = read_vint(data, p)
            name = data[p:p + name_len].decode("utf-8")
            if name in HOSTILE_NAMES:
                new = HOSTILE_NAMES[name].encode("utf-8")
                assert len(new) == name_len
                data[p:p + name_len] = new
                crc = zlib.crc32(bytes(data[crc_pos + 4:end]))
                data[crc_pos:crc_pos + 4] = crc.to_bytes(4, "little")
                patched += 1
        if kind == 5:  # end of archive
            break
        pos = end + data_size
    return bytes(data), patched


def make_hostile(outdir, rar):
    with tempfile.TemporaryDirectory() as stage:
        for name in list(HOSTILE_NAMES) + [SAFE_NAME]:
            path = os.path.join(stage, *name.split("/"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(f"content of {name}\n".encode())
        os.symlink("../../evil_link_target.txt", os.path.join(stage, "evil_link"))
        archive = os.path.join(stage, "plain.rar")
        tops = sorted({n.split("/")[0] for n in list(HOSTILE_NAMES) + [SAFE_NAME]}) + ["evil_link"]
        # -ol stores the link as a link, not the file it points to.
        subprocess.run([rar, "a", "-r", "-ol", "-idq", "-ma5", archive] + tops, cwd=stage, check=True)
        with open(archive, "rb") as f:
            data, patched = patch_names(f.read())
    if patched != len(HOSTILE_NAMES):
        sys.exit(f"patched {patched} of {len(HOSTILE_NAMES)} names")
    with open(os.path.join(outdir, "hostile.rar"), "wb") as f:
        f.write(data)


def make_from_names(outdir, rar, archive_name, names, options):
    """A RAR 5 archive made by rar of files named `names` ("\\" separators)."""
    with tempfile.TemporaryDirectory() as stage:
        for name in names:
            path = os.path.join(stage, *name.split("\\"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(f"content of {name}\n".encode("utf-8"))
        output = os.path.join(os.path.abspath(outdir), archive_name)
        if os.path.exists(output):
            os.remove(output)
        tops = sorted({n.split("\\")[0] for n in names})
        subprocess.run([rar, "a", "-r", "-idq", "-ma5"] + options + [output] + tops, cwd=stage, check=True)


SOLID_NAMES = ["s1.txt", "s2.txt", "s3.txt", "s4.txt", "s5.txt", "dir\\s6.txt"]


def main():
    args = sys.argv[1:]
    rar = "rar"
    if "--rar" in args:
        i = args.index("--rar")
        rar = args[i + 1]
        del args[i:i + 2]
    outdir, package = args
    os.makedirs(outdir, exist_ok=True)
    make_hostile(outdir, rar)
    make_from_names(outdir, rar, "unicode5.rar", make_rar4_archives.UNICODE_NAMES, [])
    make_from_names(outdir, rar, "solid.rar", SOLID_NAMES, ["-s", "-m5"])
    make_rar4_archives.main([outdir])
    with open(os.path.join(outdir, "corrupt.rar"), "wb") as f:
        f.write(b"This is not an archive.\n" * 100)
    with open(package, "rb") as f:
        whole = f.read()
    with open(os.path.join(outdir, "truncated.rar"), "wb") as f:
        f.write(whole[: len(whole) // 2])
    return 0


if __name__ == "__main__":
    sys.exit(main())
