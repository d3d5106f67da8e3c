#!/usr/bin/env python3
"""Packs the reference download engine for the test update service.

Writes into --out:
  engine.zip  the engine's files (xldl.dll and a short read-me in a subfolder)
  cfg.xml     the engine configuration: the save folder, the package URL and
              the CRC-32 and SHA-256 of every file, as the updater's engine
              bootstrap reads it
"""
import argparse
import hashlib
import os
import zipfile
import zlib
from xml.sax.saxutils import quoteattr

README = (b"Reference download engine of the Velko Browser updater.\r\n"
          b"A test and demo component: downloads one URL per task with libcurl.\r\n")

# Fixed entry times keep the package byte-identical between builds.
ENTRY_TIME = (2024, 1, 1, 0, 0, 0)


def add_entry(archive, name, data):
    info = zipfile.ZipInfo(name, ENTRY_TIME)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    archive.writestr(info, data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dll", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--downurl", required=True)
    parser.add_argument("--save-base", required=True)
    args = parser.parse_args()

    with open(args.dll, "rb") as f:
        dll = f.read()
    files = {"xldl.dll": dll, "doc/readme.txt": README}

    os.makedirs(args.out, exist_ok=True)
    zip_path = os.path.join(args.out, "engine.zip")
    with zipfile.ZipFile(zip_path + ".tmp", "w") as archive:
        for name, data in files.items():
            add_entry(archive, name, data)
    os.replace(zip_path + ".tmp", zip_path)

    lines = ['<?xml version="1.0" encoding="utf-8"?>', "<xl>",
             "  <storage save_base=%s downurl=%s>" % (quoteattr(args.save_base),
                                                      quoteattr(args.downurl))]
    for name, data in files.items():
        # The updater joins names to its folder with "\".
        lines.append('    <file_hash name=%s crc="0x%08x" sha256="%s"/>'
                     % (quoteattr(name.replace("/", "\\")), zlib.crc32(data) & 0xFFFFFFFF,
                        hashlib.sha256(data).hexdigest()))
    lines += ["  </storage>", "</xl>", ""]
    with open(os.path.join(args.out, "cfg.xml"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
