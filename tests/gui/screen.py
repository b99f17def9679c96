"""The rig's X display as the GUI tests see it: programs started under Wine,
their windows found by size, screenshots read as pixels, pointer moves and
clicks. ImageMagick's own tools are called by path, since a machine may have a
stand-in `convert` earlier on PATH."""

import os
import subprocess
import time
from pathlib import Path

CONVERT = "/usr/bin/convert"
IMPORT = "/usr/bin/import"


def wait_until(condition, limit, what):
    """The first true value of condition(), polled until limit seconds have
    passed; AssertionError naming what was awaited after that."""
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.3)
    raise AssertionError(f"timed out after {limit} s waiting for {what}")


class Rig:
    def __init__(self, build=None, source=None):
        """The rig of a build folder and the source tree, by default those
        the tests are run with (LUMEN_BUILD_DIR, LUMEN_SOURCE_DIR)."""
        self.build = Path(build or os.environ["LUMEN_BUILD_DIR"])
        self.source = Path(source or os.environ["LUMEN_SOURCE_DIR"])
        display = (self.build / "rig" / "display").read_text().strip()
        self.env = dict(os.environ, DISPLAY=f":{display}")
        self.artefacts = self.build / "gui-artefacts"
        self.artefacts.mkdir(exist_ok=True)

    def start(self, program):
        """Starts a program of the build (a name in its bin folder, or a
        path) under Wine; returns the process."""
        return subprocess.Popen(
            [str(self.source / "scripts" / "wine-run"), str(self.build), str(self.build / "bin" / program)],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True).stdout

    def wait_for_window(self, width, height, limit=60.0):
        """Position of the first visible window of that size (titles are not
        reliable under Wine): (left, top), or None after the limit."""
        deadline = time.monotonic() + limit
        while time.monotonic() < deadline:
            for window in self.xdotool("search", "--onlyvisible", "--name", ".").split():
                geometry = self.xdotool("getwindowgeometry", window)
                if f"Geometry: {width}x{height}" in geometry:
                    position = geometry.split("Position: ")[1].split()[0]
                    left, top = position.split(",")
                    return int(left), int(top)
            time.sleep(0.25)
        return None

    def move(self, x, y):
        self.xdotool("mousemove", x, y)

    def click(self, x, y):
        self.xdotool("mousemove", x, y, "click", "1")

    def shot(self, name=None):
        """A screenshot of the whole display, saved under the artefacts when named."""
        path = self.artefacts / f"{name or 'last'}.png"
        subprocess.run([IMPORT, "-display", self.env["DISPLAY"], "-window", "root", str(path)],
                       env=self.env, check=True)
        return Screen.read(path)

    def settled_shot(self, name=None, region=None, limit=10.0):
        """Screenshots until two in a row agree (within the region), so that
        paints still under way are not mistaken for the result."""
        deadline = time.monotonic() + limit
        previous = self.shot(name)
        while time.monotonic() < deadline:
            time.sleep(0.4)
            current = self.shot(name)
            if current.same_as(previous, region):
                return current
            previous = current
        return previous


class Screen:
    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = pixels

    @staticmethod
    def read(path):
        return Screen.from_image(path)

    @staticmethod
    def from_image(path, resize=None):
        args = [CONVERT, str(path)]
        if resize:
            args += ["-filter", "Triangle", "-resize", f"{resize[0]}x{resize[1]}!"]
        size = subprocess.run([*args, "-format", "%w %h", "info:"], capture_output=True, text=True, check=True)
        width, height = map(int, size.stdout.split())
        raw = subprocess.run([*args, "-alpha", "off", "-depth", "8", "rgb:-"], capture_output=True, check=True)
        return Screen(width, height, raw.stdout)

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def same_as(self, other, region=None):
        if region is None:
            return self.pixels == other.pixels
        left, top, right, bottom = region
        return all(self.at(x, y) == other.at(x, y) for y in range(top, bottom, 2) for x in range(left, right, 2))

    def mean_difference(self, other, left, top, right, bottom, other_left=0, other_top=0):
        """Mean absolute channel difference between a region and the same-sized
        region of another screen."""
        total = 0
        count = 0
        for y in range(top, bottom):
            for x in range(left, right):
                a = self.at(x, y)
                b = other.at(x - left + other_left, y - top + other_top)
                total += sum(abs(p - q) for p, q in zip(a, b))
                count += 3
        return total / count


def near(colour, want, tolerance):
    return all(abs(c - w) <= tolerance for c, w in zip(colour, want))
