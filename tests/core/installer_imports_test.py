#!/usr/bin/env python3
"""The installer is one self-contained executable: every library it imports
is part of every Windows installation, so distributors ship a single file.
The libraries that are not kept by the system at a fixed place are loaded
late, from the system folder, rather than imported at start, where a library
of the same name beside the installer would be found first;
late_imports_test.py checks those.

    installer_imports_test.py INSTALLER.exe
"""

import subprocess
import sys

SYSTEM_LIBRARIES = {
    "advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
    "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
}


def main():
    program = sys.argv[1]
    listing = subprocess.run(["i686-w64-mingw32-objdump", "-p", program], check=True,
                             stdout=subprocess.PIPE, text=True).stdout
    if "file format pei-i386" not in listing:
        sys.exit(f"{program} is not a PE32 (i386) executable")
    imported = sorted({line.split(":", 1)[1].strip().lower() for line in listing.splitlines()
                       if line.strip().startswith("DLL Name:")})
    others = [name for name in imported if name not in SYSTEM_LIBRARIES]
    print("imports:", ", ".join(imported))
    if others:
        sys.exit("imported at start, not fixed system libraries: " + ", ".join(others))


if __name__ == "__main__":
    main()
