#!/usr/bin/env python3
"""Dependencies point one way: a folder of the product includes only the
folders below it, so that no part reaches up into what is built on it.

    runtime <- http <- service;  runtime <- desktop;  runtime <- widgets;
    all of them <- core;  tools apart (the runtime at most)

    include_direction_test.py SOURCE_ROOT
"""

import pathlib
import re
import sys

MAY_INCLUDE = {
    "runtime": {"runtime"},
    "http": {"runtime", "http"},
    "service": {"runtime", "http", "service"},
    "desktop": {"runtime", "desktop"},
    "widgets": {"runtime", "widgets"},
    "core": {"runtime", "http", "service", "desktop", "widgets", "core"},
    "tools": {"runtime", "tools"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/')
SOURCES = {".cpp", ".hpp", ".in", ".rc"}


def offences(root):
    for folder, allowed in MAY_INCLUDE.items():
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in SOURCES:
                continue
            for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
                match = INCLUDE.match(line)
                if match and match.group(1) in MAY_INCLUDE and match.group(1) not in allowed:
                    yield f"{path.relative_to(root)}:{number}: {folder} must not include {match.group(1)}"


def main():
    found = list(offences(pathlib.Path(sys.argv[1])))
    for offence in found:
        print(offence)
    if found:
        sys.exit(f"{len(found)} include(s) against the direction of the dependencies")
    print("every include points down")


if __name__ == "__main__":
    main()
