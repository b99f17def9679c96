#!/usr/bin/env python3
"""The installer is one self-contained executable: every library it imports
is part of every Windows installation, so distributors ship a single file.
The libraries that are not kept by the system at a fixed place are loaded
late, from the system folder, rather than imported at start, where a library
of the same name beside the installer would be found first.

    installer_imports_test.py INSTALLER.exe
"""

import subprocess
import sys

SYSTEM_LIBRARIES = {
    "advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
    "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
}

# One function of each late library, as the library names it: 32-bit import
# libraries carry "@<bytes>" suffixes that the system's libraries do not.
LATE_FUNCTIONS = {
    "comctl32.dll": "InitCommonControlsEx", "comdlg32.dll": "GetOpenFileNameA", "dbghelp.dll": "MakeSureDirectoryPathExists",
    "gdiplus.dll": "GdiplusStartup", "wininet.dll": "InternetOpenA",
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
    with open(program, "rb") as file:
        image = file.read()
    for library, function in LATE_FUNCTIONS.items():
        if library.encode() + b"\0" not in image or function.encode() + b"\0" not in image:
            sys.exit(f"{library} is not loaded late: {function} is not named in the program")
        if function.encode() + b"@" in image:
            sys.exit(f"{function} is named with its 32-bit suffix, which {library} does not export")


if __name__ == "__main__":
    main()
