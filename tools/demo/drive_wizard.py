#!/usr/bin/env python3
"""The demo on a display nobody looks at: runs the stamped installer, goes
through its pages as a person would (the licence panel, install, run) and
keeps a screenshot of each.

    drive_wizard.py DEMO_DIR INSTALLER

DEMO_DIR is laid out like a build's rig (DEMO_DIR/rig/display names the
display, DEMO_DIR/wineprefix is the prefix), so the installer runs through
scripts/wine-run. Exit status 0 when every page was seen."""

import os
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "gui"))
from screen import Rig, wait_until  # noqa: E402
from wizard_pages import (HEIGHT, INSTALL_BUTTON, LICENCE_BACK, LICENCE_LINK, RUN_BUTTON, WIDTH,  # noqa: E402
                          bar_length, licence_panel_shown, page_of)

# The started sample program's window (its client area, without a window
# manager).
PROGRAM_WINDOW = (312, 173)


class Demo:
    def __init__(self, folder, installer):
        os.environ["LUMEN_BUILD_DIR"] = str(folder)
        os.environ["LUMEN_SOURCE_DIR"] = str(ROOT)
        self.rig = Rig()
        self.rig.artefacts = Path(folder)
        self.installer = Path(installer)
        self.shots = []
        self.origin = None

    def wait(self, condition, limit, what):
        try:
            return wait_until(condition, limit, what)
        except AssertionError:
            raise SystemExit(f"demo: gave up waiting for {what}")

    def click(self, x, y):
        self.rig.click(self.origin[0] + x, self.origin[1] + y)
        self.rig.move(self.origin[0] + 300, self.origin[1] + 150)

    def keep(self, name, condition, limit, what, settled=True):
        """Screenshots until one shows what is wanted; that one is kept. A
        settled one is taken once painting is over; a moving picture (the
        download) cannot wait for that."""
        left, top = self.origin
        region = (left, top, left + WIDTH, top + HEIGHT)

        def shown():
            screen = self.rig.settled_shot(name, region=region, limit=3) if settled else self.rig.shot(name)
            return screen if condition(screen) else None
        self.wait(shown, limit, what)
        self.shots.append(self.rig.artefacts / f"{name}.png")

    def run(self):
        process = self.rig.start(self.installer)
        self.origin = self.wait(lambda: self.rig.wait_for_window(WIDTH, HEIGHT, limit=1), 120, "the wizard")
        self.keep("1-page0", lambda s: page_of(s, self.origin) == 0, 60, "the first page")

        self.click(*LICENCE_LINK)
        self.keep("2-licence", lambda s: licence_panel_shown(s, self.origin), 30, "the licence panel")
        self.click(*LICENCE_BACK)
        self.wait(lambda: page_of(self.rig.shot("last"), self.origin) == 0, 30, "the first page again")

        self.click(*INSTALL_BUTTON)
        # Part way: the bar has moved but not reached its end.
        self.keep("3-installing", lambda s: 3 < (bar_length(s, self.origin) or 0) < WIDTH - 60, 120,
                  "the download", settled=False)
        self.keep("4-finished", lambda s: page_of(s, self.origin) == 2, 300, "the finished page")

        self.click(*RUN_BUTTON)
        self.wait(lambda: process.poll() is not None, 60, "the installer to end")
        self.wait(lambda: self.rig.wait_for_window(*PROGRAM_WINDOW, limit=1), 60, "the installed program")
        self.keep("5-program", lambda s: True, 5, "the program")
        (self.rig.artefacts / "last.png").unlink(missing_ok=True)
        return process.returncode


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    demo = Demo(*argv)
    code = demo.run()
    print(f"demo: the installer ended with exit code {code}; screenshots of each page:")
    for shot in demo.shots:
        print(f"  {shot}")
    return 0 if code == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
