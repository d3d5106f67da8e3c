#!/usr/bin/env python3
"""Stored (uncompressed) RAR 4 archives for the extraction tests, written from
the published description of the RAR 2.x-4.x block format. Debian's rar 7
writes only RAR 5, and it refuses names and flags that these tests need.

Archives written into OUTDIR:

  rar4_package.rar   folder entries and files in nested folders, narrow names:
                     the layout of a shipped package
  rar4_unicode.rar   Unicode names (Japanese, Chinese, emoji) and two names
                     that differ only in characters outside any ANSI code page
  rar4_devices.rar   entries named CON, nul.txt, AUX.txt, COM1, lpt1.log and
                     a folder "con\\": each followed by an ordinary file
  rar4_bad_crc.rar   one file whose stored data does not match its CRC
  rar4_encrypted.rar one file flagged as encrypted
  rar4_damaged.rar   a file header in the middle with a wrong header CRC

Each file's content is "content of <name>\\n" (UTF-8) unless said otherwise.
Usage: make_rar4_archives.py OUTDIR
"""
import os
import struct
import sys
import zlib

MARKER = b"Rar!\x1a\x07\x00"
MAIN_HEAD, FILE_HEAD, END_HEAD = 0x73, 0x74, 0x7B
LONG_BLOCK = 0x8000           # ADD_SIZE (the packed data size) follows
LHD_PASSWORD = 0x0004
LHD_DIRECTORY = 0x00E0        # dictionary bits all set: a folder
LHD_UNICODE = 0x0200
HOST_WIN32 = 2
UNP_VER = 29                  # 2.9, the version of the shipped package
METHOD_STORE = 0x30
ATTR_FILE, ATTR_FOLDER = 0x20, 0x10
DOS_TIME = (46 << 25) | (6 << 21) | (1 << 16) | (12 << 11)  # 2026-06-01 12:00


def block(head_type, flags, body):
    """A block: CRC16 (low half of the CRC-32 from HEAD_TYPE on), type, flags, size."""
    head = struct.pack("<BHH", head_type, flags, 7 + len(body)) + body
    return struct.pack("<H", zlib.crc32(head) & 0xFFFF) + head


def encode_unicode_name(name):
    """The narrow name, a zero byte, then the encoded UTF-16 name: high byte 0,
    then per four characters a flag byte 0xAA (each 2-bit op 2 = "both bytes
    follow") and the characters as little-endian 16-bit units."""
    units = name.encode("utf-16-le")
    narrow = name.encode("ascii", "replace")
    out = bytearray(narrow + b"\0" + b"\0")
    for i in range(0, len(units), 8):
        out.append(0xAA)
        out += units[i:i + 8]
    return bytes(out)


def file_entry(name, data=None, folder=False, flags=0, crc=None, unicode_name=None):
    """One file header and its stored data. `name` uses "\\" separators."""
    if data is None:
        data = b"" if folder else f"content of {name}\n".encode("utf-8")
    if unicode_name is None:
        unicode_name = any(ord(c) > 0x7F for c in name)
    flags |= LONG_BLOCK
    if folder:
        flags |= LHD_DIRECTORY
    if unicode_name:
        flags |= LHD_UNICODE
        encoded = encode_unicode_name(name)
    else:
        encoded = name.encode("ascii")
    file_crc = zlib.crc32(data) if crc is None else crc
    body = struct.pack("<IIBIIBBHI", len(data), len(data), HOST_WIN32, file_crc, DOS_TIME,
                       UNP_VER, METHOD_STORE, len(encoded), ATTR_FOLDER if folder else ATTR_FILE)
    return block(FILE_HEAD, flags, body + encoded) + data


def archive(entries):
    main = block(MAIN_HEAD, 0, struct.pack("<HI", 0, 0))
    return MARKER + main + b"".join(entries) + block(END_HEAD, 0x4000, b"")


def write(outdir, name, data):
    with open(os.path.join(outdir, name), "wb") as f:
        f.write(data)


UNICODE_NAMES = ["日本語.txt", "フォルダ\\ファイル.txt", "岚石\\资源.pak", "emoji_😀.txt",
                 "emoji_😎.txt", "ascii.txt"]
DEVICE_NAMES = ["CON", "nul.txt", "AUX.txt", "COM1", "lpt1.log", "con\\inside.txt"]


def main(args):
    outdir = args[0]
    os.makedirs(outdir, exist_ok=True)
    write(outdir, "rar4_package.rar", archive([
        file_entry("chrome.exe"),
        file_entry("51.0.2704.103", folder=True),
        file_entry("51.0.2704.103\\Locales", folder=True),
        file_entry("51.0.2704.103\\chrome.dll"),
        file_entry("51.0.2704.103\\Locales\\zh-CN.pak"),
        file_entry("updater.exe"),
    ]))
    write(outdir, "rar4_unicode.rar", archive([file_entry(n) for n in UNICODE_NAMES]))
    devices = []
    for i, name in enumerate(DEVICE_NAMES):
        devices += [file_entry(name), file_entry(f"after_{i}.txt")]
    write(outdir, "rar4_devices.rar", archive(devices))
    write(outdir, "rar4_bad_crc.rar", archive([
        file_entry("first.txt"), file_entry("bad_crc.txt", crc=0x12345678), file_entry("last.txt")]))
    write(outdir, "rar4_encrypted.rar", archive([
        file_entry("first.txt"), file_entry("secret.txt", flags=LHD_PASSWORD), file_entry("last.txt")]))
    damaged = bytearray(file_entry("middle.txt"))
    damaged[0] ^= 0xFF  # the header CRC no longer matches
    write(outdir, "rar4_damaged.rar", archive([
        file_entry("first.txt"), bytes(damaged), file_entry("last.txt")]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
