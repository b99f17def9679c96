#!/usr/bin/env python3
"""Runs a link command of the Windows builds, adding one
-Wl,--undefined=<function> for each late-loaded function (see
cmake/LateSystemLibraries.cmake) that the program's own objects and libraries
call through its import slot.

Functions the platform headers declare dllimport are called through their
"__imp_" slot only. The 32-bit GNU linker drops a delay-import member's stub
when nothing names the stub itself, yet the slot's first value points into
that stub: the slot would be written as 0 and the first call would jump to
address 0. Naming each called function keeps its stub, and only those.

    keep_late_import_stubs.py NM LINKER ARGUMENTS...
"""

import os
import re
import subprocess
import sys

LATE_ARCHIVE = re.compile(r"lib\w+_late\.a$")


def arguments_of(command):
    """The link command's arguments with response files (@file) read."""
    found = []
    for argument in command:
        if argument.startswith("@") and os.path.isfile(argument[1:]):
            with open(argument[1:], encoding="utf-8") as listing:
                found += listing.read().split()
        else:
            found.append(argument)
    return found


def symbols(nm, files, kind):
    """The "__imp_" symbols of the given nm kind (U: called, I: defined)."""
    if not files:
        return set()
    listing = subprocess.run([nm, *files], check=True, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, text=True).stdout
    pattern = re.compile(r"^\s*(?:[0-9a-fA-F]+\s+)?" + kind + r" (__imp_\S+)$", re.MULTILINE)
    return set(pattern.findall(listing))


def main():
    nm, command = sys.argv[1], sys.argv[2:]
    inputs = [a for a in arguments_of(command) if a.endswith((".obj", ".o", ".a")) and os.path.isfile(a)]
    late = [a for a in inputs if LATE_ARCHIVE.search(a)]
    own = [a for a in inputs if a not in late]
    called = symbols(nm, own, "U") & symbols(nm, late, "I")
    keep = [f"-Wl,--undefined={name[len('__imp_'):]}" for name in sorted(called)]
    os.execvp(command[0], [*command, *keep])


if __name__ == "__main__":
    main()
