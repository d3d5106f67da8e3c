"""Reads what the static checks need from a PE executable: the file and optional
headers, the imported DLL names and the resource tree (type, name, language ->
bytes). Only well-formed images are expected; a malformed one raises."""

from __future__ import annotations

import struct
from dataclasses import dataclass, field
from pathlib import Path

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664
SUBSYSTEM_WINDOWS_GUI = 2
FILE_RELOCS_STRIPPED = 0x0001
DLL_DYNAMIC_BASE = 0x0040
DLL_NX_COMPAT = 0x0100
RT_MANIFEST = 24
DIR_IMPORT, DIR_RESOURCE, DIR_BASERELOC = 1, 2, 5


@dataclass
class Section:
    name: str
    rva: int
    virtual_size: int
    raw_offset: int
    raw_size: int


@dataclass
class PeImage:
    machine: int
    characteristics: int
    subsystem: int
    dll_characteristics: int
    directories: list[tuple[int, int]]
    sections: list[Section]
    data: bytes = field(repr=False)

    def offset(self, rva: int) -> int:
        for s in self.sections:
            if s.rva <= rva < s.rva + max(s.virtual_size, s.raw_size):
                return s.raw_offset + rva - s.rva
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def _cstring(self, rva: int) -> str:
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imported_dlls(self) -> list[str]:
        rva, size = self.directories[DIR_IMPORT]
        names = []
        if not size:
            return names
        at = self.offset(rva)
        while True:
            lookup, _, _, name_rva, thunks = struct.unpack_from("<5I", self.data, at)
            if not (lookup or name_rva or thunks):
                return names
            names.append(self._cstring(name_rva))
            at += 20

    def has_relocations(self) -> bool:
        return not self.characteristics & FILE_RELOCS_STRIPPED and self.directories[DIR_BASERELOC][1] > 0

    def resources(self) -> dict[tuple[str | int, str | int, int], bytes]:
        """(type, name, language) -> data; string names as text, IDs as numbers."""
        rva, size = self.directories[DIR_RESOURCE]
        found: dict[tuple[str | int, str | int, int], bytes] = {}
        if not size:
            return found
        base = self.offset(rva)

        def entries(table: int):
            named, ids = struct.unpack_from("<HH", self.data, base + table + 12)
            for i in range(named + ids):
                key, target = struct.unpack_from("<II", self.data, base + table + 16 + 8 * i)
                if key & 0x80000000:
                    at = base + (key & 0x7FFFFFFF)
                    (length,) = struct.unpack_from("<H", self.data, at)
                    key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield key, target

        for kind, types in entries(0):
            for name, names in entries(types & 0x7FFFFFFF):
                for language, leaf in entries(names & 0x7FFFFFFF):
                    data_rva, data_size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(data_rva)
                    found[(kind, name, language)] = self.data[start:start + data_size]
        return found


def read_pe(path: Path) -> PeImage:
    data = path.read_bytes()
    assert data[:2] == b"MZ", f"{path} is not an executable"
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    assert data[pe:pe + 4] == b"PE\0\0", f"{path} has no PE header"
    machine, section_count, _, _, _, optional_size, characteristics = struct.unpack_from(
        "<HHIIIHH", data, pe + 4)
    optional = pe + 24
    (magic,) = struct.unpack_from("<H", data, optional)
    # PE32 and PE32+ differ in the width of the fields before the directories.
    subsystem_at, directories_at = (68, 96) if magic == 0x10B else (68, 112)
    subsystem, dll_characteristics = struct.unpack_from("<HH", data, optional + subsystem_at)
    (count,) = struct.unpack_from("<I", data, optional + directories_at - 4)
    directories = [struct.unpack_from("<II", data, optional + directories_at + 8 * i) for i in range(count)]
    sections = []
    at = optional + optional_size
    for i in range(section_count):
        name, vsize, rva, raw_size, raw_offset = struct.unpack_from("<8sIIII", data, at + 40 * i)
        sections.append(Section(name.rstrip(b"\0").decode("ascii", "replace"), rva, vsize, raw_offset,
                                raw_size))
    return PeImage(machine, characteristics, subsystem, dll_characteristics, directories, sections, data)
