#!/usr/bin/env python3
"""Start-up benchmark: the installer's time from process start to the first
complete paint of its wizard, against the least window program built the same
way (the floor) and painted at the same size.

    python3 bench/startup.py [--runs 10]

Under Wine, in the benchmarks' rig, the installer queries the reference
service on loopback, fetches the icon, looks for running copies and shows the
wizard; the floor only shows a window. A Windows probe starts each program and
times it to the moment its 600x430 window is visible with nothing left to
paint (not the shadow window, which shows first); the two alternate, pair by
pair. Also
reports the installer's size, against the same program built without its
manifest, icon and version information (what they cost), and the libraries
it imports (a test checks that they are all system libraries).
"""

import argparse
import os
import statistics
import subprocess

import benchlib

def imported_libraries(program):
    listing = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", program], check=True,
                             stdout=subprocess.PIPE, text=True).stdout
    return sorted({line.split(":", 1)[1].strip().lower() for line in listing.splitlines()
                   if line.strip().startswith("DLL Name:")})


def installer_size(product, bare):
    kib = os.path.getsize(product) / 1024
    bare_kib = os.path.getsize(bare) / 1024
    return (f"{kib:.0f} KiB; without manifest, icon and version information {bare_kib:.0f} KiB "
            f"(they cost {kib - bare_kib:.0f} KiB)")


def time_to_window(rig, probe, program):
    out = subprocess.run(rig.wine(probe, benchlib.windows_path(program), "600", "430"), check=True,
                         stdout=subprocess.PIPE, text=True).stdout
    value = out.strip().split("=", 1)[1]
    if value == "none":
        raise SystemExit(f"bench: {os.path.basename(program)} showed no window")
    return float(value)


def measure(runs):
    bin_dir = benchlib.build_windows("installer", "installer_without_resources", "installer_bench", "startup_probe",
                                     "window_floor")
    probe = os.path.join(bin_dir, "startup_probe.exe")
    installer = os.path.join(bin_dir, "installer_bench.exe")
    floor = os.path.join(bin_dir, "window_floor.exe")
    product = os.path.join(bin_dir, "installer.exe")
    bare = os.path.join(bin_dir, "installer_without_resources.exe")

    ours, floors, ratios = [], [], []
    with benchlib.rig() as rig:
        # One unmeasured round: the prefix's first start of each program.
        time_to_window(rig, probe, installer)
        time_to_window(rig, probe, floor)
        for _ in range(runs):
            a = time_to_window(rig, probe, installer)
            b = time_to_window(rig, probe, floor)
            ours.append(a)
            floors.append(b)
            ratios.append(a / b)
    return [
        ("installer size (static, stripped)", installer_size(product, bare)),
        ("installer imports", ", ".join(imported_libraries(product))),
        (f"start-up to the painted wizard, installer (median of {runs})", benchlib.spread(ours, " ms", 0)),
        ("start-up to the painted window, floor window program", benchlib.spread(floors, " ms", 0)),
        ("start-up ratio (installer / floor), median of pairs",
         f"{statistics.median(ratios):.2f} (min {min(ratios):.2f}, max {max(ratios):.2f})"),
    ]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--runs", type=int, default=10)
    args = parser.parse_args()
    benchlib.setup()
    benchlib.print_rows(measure(args.runs))


if __name__ == "__main__":
    main()
