#!/usr/bin/env python3
"""Whole-install memory benchmark: the installer's peak memory from start to
end of an install driven as a person would (install, then quit), against the
least window program built the same way (shown, then closed), in the same run.

    python3 bench/install.py [--runs 3]

Runs in the benchmarks' rig: the installer built for its reference service
downloads the sample application into C:\\StarlitPad\\ of the rig's prefix.
Peak memory is GNU time's maximum resident set size of the Wine process.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import benchlib

sys.path.insert(0, os.path.join(benchlib.ROOT, "tests", "gui"))
from screen import Rig as Display, wait_until  # noqa: E402
from wizard_pages import CLOSE_BUTTON, HEIGHT, INSTALL_BUTTON, WIDTH, page_of  # noqa: E402

FLOOR_WINDOW = (600, 430)


class Session:
    """One program under GNU time on the rig's display."""

    def __init__(self, rig, program, report):
        self.report = report
        self.process = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", report, *rig.wine(program)],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def peak_kib(self):
        if self.process.wait(timeout=120) != 0:
            raise SystemExit("bench: the program did not end with exit code 0")
        with open(self.report) as f:
            return int(f.read().strip().splitlines()[-1])


def install_once(rig, display, installer, report):
    folder = os.path.join(rig.build, "wineprefix", "drive_c", "StarlitPad")
    shutil.rmtree(folder, ignore_errors=True)
    session = Session(rig, installer, report)
    origin = display.wait_for_window(WIDTH, HEIGHT, limit=90)
    if origin is None:
        raise SystemExit("bench: the wizard did not appear")

    def click(x, y):
        display.click(origin[0] + x, origin[1] + y)
        display.move(origin[0] + 300, origin[1] + 150)

    wait_until(lambda: page_of(display.shot(), origin) == 0, 60, "page 0")
    click(*INSTALL_BUTTON)
    wait_until(lambda: page_of(display.shot(), origin) == 2, 120, "the finished page")
    if not os.path.exists(os.path.join(folder, "StarlitPad.exe")):
        raise SystemExit("bench: the install left no program")
    click(*CLOSE_BUTTON)
    time.sleep(1.0)
    display.xdotool("key", "Return")  # OK to the quit question
    return session.peak_kib()


def floor_once(rig, display, floor, report):
    session = Session(rig, floor, report)
    if display.wait_for_window(*FLOOR_WINDOW, limit=60) is None:
        raise SystemExit("bench: the floor window did not appear")
    display.xdotool("key", "alt+F4")
    return session.peak_kib()


def measure(runs):
    bin_dir = benchlib.build_windows("installer_bench", "window_floor")
    installer = os.path.join(bin_dir, "installer_bench.exe")
    floor = os.path.join(bin_dir, "window_floor.exe")
    work = tempfile.mkdtemp(prefix="lumen-install-bench-")
    ours, floors = [], []
    try:
        with benchlib.rig() as rig:
            display = Display(rig.build, benchlib.ROOT)
            display.artefacts = Path(work)
            report = os.path.join(work, "time.txt")
            for _ in range(runs):
                ours.append(install_once(rig, display, installer, report))
                floors.append(floor_once(rig, display, floor, report))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return [
        (f"whole install, installer peak memory (median of {runs})", f"{statistics.median(ours) / 1024:.1f} MB"),
        ("floor window program peak memory", f"{statistics.median(floors) / 1024:.1f} MB"),
        ("install peak ratio (installer / floor)", f"{statistics.median(ours) / statistics.median(floors):.2f}"),
    ]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    benchlib.setup()
    try:
        benchlib.print_rows(measure(args.runs))
    except AssertionError as timed_out:
        sys.exit(f"bench: {timed_out}")


if __name__ == "__main__":
    main()
