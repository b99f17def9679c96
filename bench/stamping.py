#!/usr/bin/env python3
"""Stamping benchmark: a batch of 1,000 distributor ids stamped by the
stamping tool, against two peers in one Python process each, in the same run:
the same durable writing without the tool's checks (copy and append into a
temporary file, flush it to disk, rename it into place), and a plain copy and
append (nothing flushed: a crash can leave torn copies). Once for the
installer as built, and once signed with a throw-away certificate, where the
tool writes each id inside the signature; the peers still only append, so for
the signed installer they show the floor of the copying alone (their copies
would not verify).

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
    """Median seconds of the tool, the durable and the plain peer, and the
    median ratio of the tool to the durable peer, over runs of each."""
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
    written = len(os.listdir(os.path.join(work, "tool")))
    if written != count:
        raise SystemExit(f"bench: the tool wrote {written} copies, not {count}")
    return [statistics.median(x) for x in (ours, durable, plain, ratios)]


def signed_copy(installer, work):
    """The installer signed as the vendor signs it, with a throw-away certificate."""
    benchlib.run([os.path.join(benchlib.ROOT, "tests", "support", "make_signing_certificate.sh"), work])
    signed = os.path.join(work, "installer-signed.exe")
    benchlib.run(["osslsigncode", "sign", "-certs", os.path.join(work, "signer.pem"),
                  "-key", os.path.join(work, "signer.key"), "-n", "Lumen", "-in", installer, "-out", signed],
                 stdout=subprocess.DEVNULL)
    return signed


def rows_for(form, count, runs, size_kib, figures):
    ours, durable, plain, ratio = figures
    return [
        (f"stamping {count} ids ({form} installer, {size_kib:.0f} KiB), tool (median of {runs})",
         f"{ours:.2f} s, {count / ours:.0f} ids/s"),
        (f"stamping {form}, durable copy-and-append peer", f"{durable:.2f} s"),
        (f"stamping {form}, plain copy-and-append (nothing flushed)", f"{plain:.2f} s"),
        (f"stamping {form}, ratio (tool / durable peer), median of pairs", f"{ratio:.2f}"),
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
        for form, path in (("unsigned", installer), ("signed", signed_copy(installer, work))):
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
