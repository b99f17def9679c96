#!/usr/bin/env python3
"""Stamping benchmark: a batch of 1,000 distributor ids stamped by the
stamping tool, against two peers in one Python process each, in the same run:
the same durable writing without the tool's checks (copy and append into a
temporary file, flush it to disk, rename it into place), and a plain copy and
append (nothing flushed: a crash can leave torn copies). Once for the
installer as built, once signed with a throw-away certificate, and once
signed and time-stamped as the vendor signs it, where the tool checks the
signature against the file once per batch and writes each id inside the
signature, sorted after the time stamp (which makes each copy larger by about
the time stamp's size); the peers still only append, so for the signed
installer they show the floor of the copying alone (their copies would not
verify). Each form also gives the bytes a copy adds to its input.

    python3 bench/stamping.py [--ids 1000] [--runs 3]
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import benchlib

# The peers: copies with the id appended, as fast as Python's file copy goes,
# durable (flushed, then renamed into place) or not.
COPIES = """
import os, shutil, sys
installer, ids, out, durable = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4] == "durable"
for agent in open(ids).read().split():
    target = f"{out}/installer-{agent}.exe"
    partial = target + ".partial" if durable else target
    shutil.copyfile(installer, partial)
    with open(partial, "ab") as f:
        f.write(agent.encode())
        if durable:
            f.flush()
            os.fsync(f.fileno())
    if durable:
        os.rename(partial, target)
"""


def timed(command):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def compare(stamp, installer, ids, count, work, runs):
    """Seconds of the tool, the durable and the plain peer, and the ratios
    of the tool to the durable peer, one of each per run, alternating."""
    ours, durable, plain, ratios = [], [], [], []
    for _ in range(runs):
        for name in ("tool", "durable", "plain"):
            shutil.rmtree(os.path.join(work, name), ignore_errors=True)
            os.makedirs(os.path.join(work, name))
        a = timed([stamp, installer, "--batch", ids, "-o", os.path.join(work, "tool")])
        b = timed([sys.executable, "-c", COPIES, installer, ids, os.path.join(work, "durable"), "durable"])
        c = timed([sys.executable, "-c", COPIES, installer, ids, os.path.join(work, "plain"), "plain"])
        ours.append(a)
        durable.append(b)
        plain.append(c)
        ratios.append(a / b)
    tool_folder = os.path.join(work, "tool")
    copies = os.listdir(tool_folder)
    if len(copies) != count:
        raise SystemExit(f"bench: the tool wrote {len(copies)} copies, not {count}")
    added = os.path.getsize(os.path.join(tool_folder, copies[0])) - os.path.getsize(installer)
    return ours, durable, plain, ratios, added


def signed_copies(installer, work):
    """The installer signed with a throw-away certificate, as it is and
    time-stamped by osslsigncode's own authority with the throw-away TSA
    certificate, as the vendor signs it with a public authority's."""
    benchlib.run([os.path.join(benchlib.ROOT, "tests", "support", "make_signing_certificate.sh"), work])
    sign = ["osslsigncode", "sign", "-certs", os.path.join(work, "signer.pem"),
            "-key", os.path.join(work, "signer.key"), "-n", "Lumen", "-in", installer]
    signed = os.path.join(work, "installer-signed.exe")
    time_stamped = os.path.join(work, "installer-time-stamped.exe")
    benchlib.run(sign + ["-out", signed], stdout=subprocess.DEVNULL)
    benchlib.run(sign + ["-TSA-certs", os.path.join(work, "tsa.pem"), "-TSA-key", os.path.join(work, "tsa.key"),
                         "-out", time_stamped], stdout=subprocess.DEVNULL)
    return [("signed", signed), ("time-stamped", time_stamped)]


def median_range(values, unit=""):
    return f"{statistics.median(values):.2f}{unit} ({min(values):.2f}–{max(values):.2f})"


def rows_for(form, count, runs, size_kib, figures):
    ours, durable, plain, ratios, added = figures
    return [
        (f"stamping {count} ids ({form} installer, {size_kib:.0f} KiB), tool, median (min–max) of {runs}",
         f"{median_range(ours, ' s')}, {count / statistics.median(ours):.0f} ids/s"),
        (f"stamping {form}, durable copy-and-append peer", median_range(durable, " s")),
        (f"stamping {form}, plain copy-and-append (nothing flushed)", median_range(plain, " s")),
        (f"stamping {form}, ratio (tool / durable peer) of each run's pair", median_range(ratios)),
        (f"stamping {form}, bytes a copy adds to its input", f"{added}"),
    ]


def measure(count, runs):
    stamp = os.path.join(benchlib.build_native("stamp"), "stamp")
    installer = os.path.join(benchlib.build_windows("installer"), "installer.exe")
    work = tempfile.mkdtemp(prefix="lumen-stamp-bench-")
    try:
        ids = os.path.join(work, "ids.txt")
        with open(ids, "w") as f:
            f.write("".join(f"{agent:08d}\n" for agent in range(1, count + 1)))
        rows = []
        for form, path in [("unsigned", installer)] + signed_copies(installer, work):
            figures = compare(stamp, path, ids, count, work, runs)
            rows += rows_for(form, count, runs, os.path.getsize(path) / 1024, figures)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--ids", type=int, default=1000)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    benchlib.setup()
    benchlib.print_rows(measure(args.ids, args.runs))


if __name__ == "__main__":
    main()
