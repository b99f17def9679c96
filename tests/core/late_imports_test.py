#!/usr/bin/env python3
"""The PE32's late imports, read from the built image as the delay-load helper
will read them: each late library's descriptor, and for each function in it
the address slot the code calls through and the name the helper will ask the
library for.

A slot must hold, before the first call, the address of the function's
loading thunk in the image (`mov eax, <the slot>; jmp <the library's tail>`,
whose tail pushes the descriptor): a slot left at 0 sends the first call to
address 0. A name must be exported by the library the helper loads, the
32-bit system library of the same name (Wine's i386 copies here): a name it
lacks ends the run on the first call.

    late_imports_test.py PROGRAM.exe SYSTEM_FOLDER
"""

import re
import struct
import sys
from pathlib import Path

LATE_LIBRARIES = {"comctl32.dll", "comdlg32.dll", "crypt32.dll", "dbghelp.dll", "gdiplus.dll", "wininet.dll",
                  "wintrust.dll"}
DESCRIPTOR = struct.Struct("<8I")  # attributes, name, module, slots, names, bound, unload, time stamp
EXECUTABLE = 0x20000000


class Image:
    """A PE file's sections, addressed by relative virtual address."""

    def __init__(self, path):
        self.data = Path(path).read_bytes()
        if self.data[:2] != b"MZ":
            raise ValueError(f"{path} is not a PE file")
        header = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[header:header + 4] != b"PE\0\0":
            raise ValueError(f"{path} is not a PE file")
        machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", self.data, header + 4)
        optional = header + 24
        self.machine = machine
        self.pe32 = struct.unpack_from("<H", self.data, optional)[0] == 0x10B
        if self.pe32:
            self.base = struct.unpack_from("<I", self.data, optional + 28)[0]
            directories = optional + 96
        else:
            self.base = struct.unpack_from("<Q", self.data, optional + 24)[0]
            directories = optional + 112
        self.directories = [struct.unpack_from("<II", self.data, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, size, rva, raw_size, raw, _, _, _, _, flags = struct.unpack_from("<8sIIIIIIHHI", self.data,
                                                                                table + 40 * i)
            self.sections.append((rva, max(size, raw_size), raw, raw_size, flags))

    def section_of(self, rva):
        for section in self.sections:
            if section[0] <= rva < section[0] + section[1]:
                return section
        return None

    def read(self, rva, length):
        section = self.section_of(rva)
        if section is None:
            return None
        start, _, raw, raw_size, _ = section
        offset = rva - start
        piece = self.data[raw + offset:raw + min(offset + length, raw_size)] if offset < raw_size else b""
        return piece + b"\0" * (length - len(piece))

    def word(self, rva):
        piece = self.read(rva, 4)
        return None if piece is None else struct.unpack("<I", piece)[0]

    def text(self, rva, limit=256):
        piece = self.read(rva, limit)
        return None if piece is None or b"\0" not in piece else piece.split(b"\0", 1)[0].decode("latin-1")

    def executable(self, rva):
        section = self.section_of(rva)
        return section is not None and bool(section[4] & EXECUTABLE)

    def exports(self):
        rva, _ = self.directories[0]
        if rva == 0:
            return set()
        count = self.word(rva + 24)
        names = self.word(rva + 32)
        return {self.text(self.word(names + 4 * i)) for i in range(count)}


def delay_descriptors(image):
    """(rva, library name, fields) of each delay-load descriptor. GNU ld
    leaves the delay-import directory empty, so the image is searched for
    descriptors: attributes 1 (addresses relative), a library name, slots
    and names inside the image, no bound or unload tables."""
    found = []
    for rva, _, raw, raw_size, _ in image.sections:
        contents = image.data[raw:raw + raw_size]
        for match in re.finditer(rb"\x01\0\0\0", contents):
            if match.start() % 4:
                continue
            at = rva + match.start()
            piece = image.read(at, DESCRIPTOR.size)
            attributes, name, module, slots, names, bound, unload, stamp = DESCRIPTOR.unpack(piece)
            if attributes != 1 or bound or unload or stamp or 0 in (name, module, slots, names):
                continue
            if None in (image.section_of(module), image.section_of(slots), image.section_of(names)):
                continue
            library = image.text(name, 64)
            if library and library.isprintable() and library.lower().endswith(".dll"):
                found.append((at, library.lower(), (module, slots, names)))
    return found


def thunk_fault(image, descriptor, slot):
    """Why the value in a slot is not its loading thunk, or None."""
    value = image.word(slot)
    if value == 0:
        return "holds 0"
    thunk = value - image.base
    if not image.executable(thunk):
        return f"holds {value:#x}, outside the image's code"
    code = image.read(thunk, 10)
    if code[0] != 0xB8 or struct.unpack_from("<I", code, 1)[0] != image.base + slot or code[5] != 0xE9:
        return f"holds {value:#x}, which is not the slot's own loading thunk"
    tail = thunk + 10 + struct.unpack_from("<i", code, 6)[0]
    pushed = image.read(tail, 8) if image.executable(tail) else None
    if pushed is None or pushed[:4] != b"\x51\x52\x50\x68" or struct.unpack_from("<I", pushed, 4)[0] != image.base + descriptor:
        return f"holds {value:#x}, whose thunk does not hand its library's descriptor to the helper"
    return None


def check(program, system_folder):
    """The faults found, one line each, and the late functions per library."""
    image = Image(program)
    if not image.pe32 or image.machine != 0x14C:
        return [f"{program} is not a PE32 (i386) executable"], {}
    faults, functions = [], {}
    exports = {}
    for descriptor, library, (_, slots, names) in delay_descriptors(image):
        if library not in exports:
            path = Path(system_folder) / library
            exports[library] = Image(path).exports() if path.exists() else None
        if exports[library] is None:
            faults.append(f"{library}: no such library in {system_folder}")
            continue
        functions[library] = []
        for i in range(4096):
            entry = image.word(names + 4 * i)
            if not entry:
                break
            slot = slots + 4 * i
            if entry & 0x80000000:
                faults.append(f"{library}: slot {i} is imported by ordinal {entry & 0xFFFF}")
                continue
            name = image.text(entry + 2)
            functions[library].append(name)
            fault = thunk_fault(image, descriptor, slot)
            if fault:
                faults.append(f"{library} {name}: its slot {fault}")
            if name not in exports[library]:
                faults.append(f"{library} {name}: the library exports no such name")
    for library in sorted(LATE_LIBRARIES - set(functions)):
        faults.append(f"{library}: not loaded late (no delay-load descriptor)")
    return faults, functions


def main():
    program, system_folder = sys.argv[1], sys.argv[2]
    faults, functions = check(program, system_folder)
    for library, names in sorted(functions.items()):
        print(f"{library}: {', '.join(names)}")
    if faults:
        sys.exit("late imports that would fail on their first call:\n  " + "\n  ".join(faults))
    print(f"{sum(map(len, functions.values()))} late functions, each slot on its loading thunk, each name exported")


if __name__ == "__main__":
    main()
