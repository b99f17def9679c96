#!/usr/bin/env python3
"""Download benchmark: the installer's downloader against curl.

    python3 bench/download.py [--size-mb 200] [--runs 3]

Builds the Windows benchmark driver, starts the benchmarks' rig (build/bench:
Xvfb, a Wine prefix and the reference service on loopback), and fetches the
same generated file with the installer's downloader (under Wine) and with
curl, alternating, in the same run. Reports the throughput ratio, each
program's peak memory (GNU time's maximum resident set size) for a small and
the full file and for a resume from a large ".tmp", and checks every result
byte for byte against curl's copy.
"""

import argparse
import filecmp
import os
import shutil
import statistics
import sys
import tempfile

import benchlib
from benchlib import MB

ETAG = "bench"


class Bench:
    def __init__(self, rig, driver, work):
        self.rig = rig
        self.driver = driver
        self.service = rig.service
        self.work = work
        self.report = os.path.join(work, "time.txt")

    def url(self, size):
        # With an ETag, which a partial file's record keeps to vouch for it.
        return f"{self.service}/blob/{size}/app.exe?etag={ETAG}"

    def curl(self, size, target):
        out, peak = benchlib.peak_and_output(
            ["curl", "-sS", "-o", target, "-w", "%{size_download} %{time_total}", self.url(size)], self.report)
        got, seconds = out.split()
        return int(got), float(seconds), peak

    def downloader(self, size, target):
        """One download by the installer's downloader; the target's .tmp, if
        present, is resumed."""
        out, peak = benchlib.peak_and_output(
            self.rig.wine(self.driver, self.url(size), benchlib.windows_path(target)), self.report)
        fields = dict(item.split("=") for item in out.split())
        return int(fields["bytes"]) - int(fields["resumed_from"]), float(fields["seconds"]), peak

    def fresh(self, name):
        path = os.path.join(self.work, name)
        for leftover in (path, path + ".tmp", path + ".tmp.source"):
            if os.path.exists(leftover):
                os.remove(leftover)
        return path


def check_same(a, b):
    if not filecmp.cmp(a, b, shallow=False):
        sys.exit(f"bench: {a} and {b} differ")


def measure(size_mb, runs):
    """Rows of (figure, value) for a download of size_mb, runs times each."""
    size = size_mb * MB
    small = max(1, size_mb // 10) * MB
    driver = os.path.join(benchlib.build_windows("download_bench"), "download_bench.exe")
    work = tempfile.mkdtemp(prefix="lumen-bench-")
    try:
        with benchlib.rig() as rig:
            bench = Bench(rig, driver, work)
            reference = bench.fresh("curl.exe")
            curl_rates, ours_rates, curl_peaks, ours_peaks = [], [], [], []
            for _ in range(runs):
                got, seconds, peak = bench.curl(size, reference)
                curl_rates.append(got / seconds / MB)
                curl_peaks.append(peak)
                target = bench.fresh("ours.exe")
                got, seconds, peak = bench.downloader(size, target)
                ours_rates.append(got / seconds / MB)
                ours_peaks.append(peak)
                check_same(target, reference)

            small_target = bench.fresh("small.exe")
            _, _, small_peak = bench.downloader(small, small_target)

            # A resume from a large temporary file: all but the last tenth is there.
            resume_target = bench.fresh("resume.exe")
            kept = size - size // 10
            shutil.copyfile(reference, resume_target + ".tmp")
            os.truncate(resume_target + ".tmp", kept)
            # With the record an interrupted download leaves beside it: without
            # one, or without the server's validator in it, the downloader
            # cannot tell the part is of this file and starts again.
            with open(resume_target + ".tmp.source", "w", newline="\n") as record:
                record.write(f"url={bench.url(size)}\nversion=\nlength={size}\nvalidator=\"{ETAG}\"\n")
            got, _, resume_peak = bench.downloader(size, resume_target)
            if got != size - kept:
                sys.exit(f"bench: the resume fetched {got} bytes, not the {size - kept} missing")
            check_same(resume_target, reference)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    curl_rate = statistics.median(curl_rates)
    ours_rate = statistics.median(ours_rates)
    return [
        (f"download {size_mb} MB, curl (median of {runs})", f"{curl_rate:.1f} MB/s, peak {max(curl_peaks) / 1024:.1f} MB"),
        (f"download {size_mb} MB, installer's downloader", f"{ours_rate:.1f} MB/s, peak {max(ours_peaks) / 1024:.1f} MB"),
        ("download throughput ratio (downloader / curl)", f"{ours_rate / curl_rate:.2f}"),
        (f"downloader peak, {small // MB} MB fresh", f"{small_peak / 1024:.1f} MB"),
        (f"downloader peak, {size_mb} MB resumed from a {kept // MB} MB .tmp", f"{resume_peak / 1024:.1f} MB"),
    ]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--size-mb", type=int, default=200)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    benchlib.setup()
    benchlib.print_rows(measure(args.size_mb, args.runs))
    print("all downloads byte-identical to curl's")


if __name__ == "__main__":
    main()
