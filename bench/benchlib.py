"""What the benchmark scripts share: the project's builds, the benchmarks'
own rig (BUILD/bench: Xvfb, a Wine prefix and the reference service on the
port the Windows build fixed for it), and running programs under it."""

import contextlib
import os
import shutil
import statistics
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MB = 1024 * 1024


def run(command, **kwargs):
    return subprocess.run(command, check=True, **kwargs)


def build_dir():
    return os.environ.get("LUMEN_BUILD_DIR", os.path.join(ROOT, "build"))


def setup():
    run([os.path.join(ROOT, "scripts", "setup")])


def windows_build():
    """The Windows build this machine's Wine runs: the 32-bit product, or
    where the kernel runs no 32-bit programs the 64-bit build of the same
    sources; its folder and its toolchain."""
    if subprocess.run([os.path.join(ROOT, "scripts", "runs-32-bit-wine")]).returncode == 0:
        return os.path.join(build_dir(), "win"), "i686"
    return os.path.join(build_dir(), "win64"), "x86_64"


def build_windows(*targets):
    """Builds Windows targets in Release; the folder of the built programs."""
    win, toolchain = windows_build()
    if not os.path.exists(os.path.join(win, "build.ninja")):
        run(["cmake", "-S", ROOT, "-B", win, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
             "--toolchain", os.path.join(ROOT, "cmake", f"toolchain-mingw-{toolchain}.cmake")],
            stdout=subprocess.DEVNULL)
    run(["cmake", "--build", win, "--target", *targets], stdout=subprocess.DEVNULL)
    return os.path.join(win, "bin")


def build_native(*targets):
    """Builds native targets in Release without the sanitizers (the tests'
    native build has them), in a folder of their own."""
    native = os.path.join(build_dir(), "native-release")
    if not os.path.exists(os.path.join(native, "build.ninja")):
        run(["cmake", "-S", ROOT, "-B", native, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
             "-DLUMEN_SANITIZE=OFF"], stdout=subprocess.DEVNULL)
    run(["cmake", "--build", native, "--target", *targets], stdout=subprocess.DEVNULL)
    return os.path.join(native, "bin")


def windows_path(path):
    """Wine's Z: drive is the Linux root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Rig:
    """The benchmarks' rig, apart from the tests' so that neither disturbs
    the other."""

    def __init__(self):
        self.build = os.path.join(build_dir(), "bench")
        self.script = os.path.join(ROOT, "scripts", "rig")

    def start(self):
        win, _ = windows_build()
        os.makedirs(os.path.join(self.build, "bin"), exist_ok=True)
        # The Wine that runs the Windows build's programs.
        wine_bin = os.path.join(self.build, "wine-bin")
        if not os.path.islink(wine_bin):
            os.symlink(os.path.join(win, "wine-bin"), wine_bin)
        shutil.copyfile(os.path.join(win, "bench.port"), os.path.join(self.build, "rig.port"))
        sample = os.path.join(win, "bin", "StarlitPad.exe")
        if os.path.exists(sample):
            shutil.copyfile(sample, os.path.join(self.build, "bin", "StarlitPad.exe"))
        run([self.script, "start", self.build], stdout=subprocess.DEVNULL)

    def stop(self):
        subprocess.run([self.script, "stop", self.build], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def file(self, name):
        with open(os.path.join(self.build, "rig", name)) as f:
            return f.read().strip()

    @property
    def service(self):
        return self.file("service_url")

    @property
    def display(self):
        return ":" + self.file("display")

    @property
    def port(self):
        with open(os.path.join(self.build, "rig.port")) as f:
            return int(f.read().strip())

    def wine(self, *command):
        """The command line that runs a Windows program in this rig."""
        return [os.path.join(ROOT, "scripts", "wine-run"), self.build, *command]


@contextlib.contextmanager
def rig():
    r = Rig()
    r.start()
    try:
        yield r
    finally:
        r.stop()


def peak_and_output(command, report):
    """Runs a command under GNU time: its stdout and its peak memory in KiB."""
    result = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report] + command,
                            stdout=subprocess.PIPE, text=True)
    with open(report) as f:
        peak_kib = int(f.read().strip().splitlines()[-1])
    if result.returncode != 0:
        sys.exit(f"bench: {command[0]} failed ({result.returncode}): {result.stdout}")
    return result.stdout, peak_kib


def spread(values, unit="", digits=2):
    """Median with min–max, as every benchmark row shows its figures."""
    return (f"{statistics.median(values):.{digits}f}{unit} "
            f"({min(values):.{digits}f}–{max(values):.{digits}f})")


def print_rows(rows):
    width = max(len(name) for name, _ in rows)
    for name, value in rows:
        print(f"  {name:<{width}}  {value}")
