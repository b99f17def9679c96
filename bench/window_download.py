#!/usr/bin/env python3
"""What the user waits for: the real installer with its window, the install
button clicked and a 200 MiB program downloaded, timed from the click to the
finished page, from the reference service and from nginx, and of that time
the download's (from its temporary file's creation to the program in place);
in the same run and in alternating rounds, curl and the least WinINet reader
(1 MiB reads, under the same Wine) on the same URLs, each by its own clock.
Then, with the download trickling (8 kB/s) and with a server that stops
sending mid-body, the time from a click on the close button to the quit
question. Clicks are timed from the moment the X server has taken them.
Last, a 200 MiB program signed by a throw-away vendor key, installed by an
installer that pins that key and by one that pins none, in alternating
rounds: what the signer check adds to the install.

    python3 bench/window_download.py [--rounds 5] [--clicks 5]

Medians with min–max; MiB are 1,048,576 bytes.
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
from x_pointer import XPointer

sys.path.insert(0, os.path.join(benchlib.ROOT, "tests", "gui"))
from screen import Rig as Display, wait_until  # noqa: E402
from wizard_pages import CLOSE_BUTTON, HEIGHT, INSTALL_BUTTON, WIDTH, page_of  # noqa: E402

SIZE = 200 * benchlib.MB
NGINX_CONFIG = """worker_processes 1;
daemon off;
pid {prefix}/nginx.pid;
error_log {prefix}/error.log;
events {{ worker_connections 64; }}
http {{
  access_log off;
  client_body_temp_path {prefix}/body;
  proxy_temp_path {prefix}/proxy;
  fastcgi_temp_path {prefix}/fastcgi;
  uwsgi_temp_path {prefix}/uwsgi;
  scgi_temp_path {prefix}/scgi;
  sendfile on;
  server {{ listen 127.0.0.1:{port}; root {root}; }}
}}
"""


# A certificate of its own for the benchmark's signer: an end entity for
# code signing, its own issuer.
CODE_SIGNING_CERTIFICATE = """[req]
distinguished_name = subject
[subject]
[code_signing]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
"""


class Nginx:
    """nginx-light as an unprivileged process of the benchmark, serving the
    program from a folder of its own on the port after the service's."""

    def __init__(self, work, port, program):
        self.prefix = os.path.join(work, "nginx")
        root = os.path.join(self.prefix, "root")
        os.makedirs(root)
        shutil.copyfile(program, os.path.join(root, "StarlitPad.exe"))
        config = os.path.join(self.prefix, "nginx.conf")
        with open(config, "w") as f:
            f.write(NGINX_CONFIG.format(prefix=self.prefix, port=port, root=root))
        for path in (work, self.prefix, root):
            os.chmod(path, 0o777)
        self.process = subprocess.Popen(
            ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
             "nginx", "-p", self.prefix, "-c", config], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.url = f"http://127.0.0.1:{port}/StarlitPad.exe"
        wait_until(lambda: subprocess.run(["curl", "-sfI", self.url], stdout=subprocess.DEVNULL).returncode == 0,
                   20, "nginx")

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=20)


class Installer:
    """One installer run on the rig's display, driven as a person would."""

    def __init__(self, rig, display, program):
        self.rig, self.display = rig, display
        self.folder = os.path.join(rig.build, "wineprefix", "drive_c", "StarlitPad")
        shutil.rmtree(self.folder, ignore_errors=True)
        self.process = subprocess.Popen(rig.wine(program), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.origin = display.wait_for_window(WIDTH, HEIGHT, limit=90)
        if self.origin is None:
            raise SystemExit("bench: the wizard did not appear")
        wait_until(lambda: page_of(display.shot(), self.origin) == 0, 60, "page 0")

    def click(self, x, y):
        """Clicks a point of the window, then moves the pointer off the
        buttons; the moment the X server took the click."""
        pointer = XPointer(self.rig.display)
        try:
            pointer.click(self.origin[0] + x, self.origin[1] + y)
            taken = time.monotonic()
            pointer.move(self.origin[0] + 300, self.origin[1] + 150)
        finally:
            pointer.close()
        return taken

    def install_seconds(self):
        marker = os.path.join(self.folder, "OEM.key")
        began = self.click(*INSTALL_BUTTON)
        # OEM.key is the last file written before the finished page; the
        # download runs from its temporary file's creation to the program in
        # place. Looked for every few milliseconds: the install takes a few
        # tenths of a second, so the screen polls' 0.3 s would swamp it.
        program = os.path.join(self.folder, "StarlitPad.exe")
        seen = seen_files({"download": program + ".tmp", "program": program, "end": marker}, began, 600)
        wait_until(lambda: page_of(self.display.shot(), self.origin) == 2, 60, "the finished page")
        if os.path.getsize(program) != SIZE:
            raise SystemExit("bench: the installed program is not the whole download")
        return seen["end"], seen["program"] - seen["download"]

    def seconds_to_quit_question(self):
        """From a click on the close button to the question on screen; the
        question is then answered Cancel and the download goes on."""
        began = self.click(*CLOSE_BUTTON)
        # Asked again as soon as each answer is in (a search takes some tens
        # of milliseconds), not at the screen polls' 0.3 s steps.
        seconds = seconds_until(self.quit_question, began, 30, "the quit question")
        self.display.xdotool("key", "Escape")
        wait_until(lambda: not self.quit_question(), 30, "the question to go")
        return seconds

    def quit_question(self):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^提示$"], env=self.display.env,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        return found.returncode == 0 and found.stdout.strip() != ""

    def quit(self):
        self.click(*CLOSE_BUTTON)
        wait_until(self.quit_question, 30, "the quit question")
        self.display.xdotool("key", "Return")
        self.process.wait(timeout=60)


def seconds_until(condition, began, limit, what):
    """Seconds from began until condition() holds, asked every 2 ms."""
    while not condition():
        if time.monotonic() - began > limit:
            raise AssertionError(f"timed out after {limit} s waiting for {what}")
        time.sleep(0.002)
    return time.monotonic() - began


def seen_files(paths, began, limit):
    """Seconds from began to each named path's first appearance, polled every
    2 ms until the last of them is there."""
    seen = {}
    while len(seen) < len(paths):
        now = time.monotonic() - began
        if now > limit:
            raise AssertionError(f"timed out after {limit} s waiting for {sorted(set(paths) - set(seen))}")
        seen.update({name: now for name, path in paths.items() if name not in seen and os.path.exists(path)})
        time.sleep(0.002)
    return seen


def install(rig, display, program):
    """One whole install: its seconds from the click to the finished page,
    and of those the download's."""
    run = Installer(rig, display, program)
    seconds = run.install_seconds()
    run.quit()
    return seconds


def curl_seconds(url, target):
    """curl's own transfer time, from its connection to the last byte, as
    the reader reports its own."""
    out = subprocess.run(["curl", "-sf", "-o", target, "-w", "%{time_total}", url], check=True,
                         stdout=subprocess.PIPE, text=True).stdout
    return float(out)


def reader_seconds(rig, reader, url, target):
    out = subprocess.run(rig.wine(reader, url, benchlib.windows_path(target)), check=True, stdout=subprocess.PIPE,
                         text=True).stdout
    fields = dict(item.split("=") for item in out.split())
    if int(fields["bytes"]) != SIZE:
        raise SystemExit("bench: the reader did not get the whole file")
    return float(fields["seconds"])


def signed_program(work, sample, key):
    """The sample program grown by data after its image and signed with the
    key, in a code-signing certificate of its own (no issuer or revocation
    addresses), to 200 MiB in all: signed once to learn what the signature
    adds, then again with that much less data."""
    certificate = os.path.join(work, "vendor.pem")
    config = os.path.join(work, "vendor.cnf")
    with open(config, "w") as f:
        f.write(CODE_SIGNING_CERTIFICATE)
    benchlib.run(["openssl", "req", "-x509", "-new", "-config", config, "-extensions", "code_signing", "-key", key,
                  "-subj", "/CN=Lumen bench vendor", "-days", "30", "-out", certificate],
                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    unsigned = os.path.join(work, "big-unsigned.exe")
    signed = os.path.join(work, "big-signed.exe")
    signature = 0
    for _ in range(2):
        with open(sample, "rb") as source, open(unsigned, "wb") as out:
            out.write(source.read())
            out.truncate(SIZE - signature)
        if os.path.exists(signed):
            os.remove(signed)
        benchlib.run(["osslsigncode", "sign", "-certs", certificate, "-key", key, "-n", "Lumen bench",
                      "-in", unsigned, "-out", signed], stdout=subprocess.DEVNULL)
        signature = os.path.getsize(signed) - (SIZE - signature)
    os.remove(unsigned)
    if os.path.getsize(signed) != SIZE:
        raise SystemExit("bench: the signed program is not 200 MiB")
    return signed


def rate(seconds):
    return [SIZE / benchlib.MB / s for s in seconds]


def measure(rounds, clicks):
    bin_dir = benchlib.build_windows("installer_bench_big_download", "installer_bench_next_port_download",
                                     "installer_bench_slow_download", "installer_bench_stalled_download",
                                     "installer_bench_big_signed_download",
                                     "installer_bench_pinned_big_signed_download", "wininet_reader", "StarlitPad")
    work = tempfile.mkdtemp(prefix="lumen-window-download-")
    times = {key: [] for key in ("installer service", "installer nginx", "installer download service",
                                 "installer download nginx", "curl service", "curl nginx", "reader service",
                                 "reader nginx")}
    latency = {"trickle": [], "stall": []}
    signer = {"pinned": [], "unpinned": []}
    try:
        with benchlib.rig() as rig:
            display = Display(rig.build, benchlib.ROOT)
            display.artefacts = Path(work)
            service_url = f"{rig.service}/blob/{SIZE}/StarlitPad.exe"
            program = os.path.join(work, "program.exe")
            benchlib.run(["curl", "-sf", "-o", program, service_url])
            nginx = Nginx(work, rig.port + 1, program)
            target = os.path.join(work, "fetched.exe")
            reader = os.path.join(bin_dir, "wininet_reader.exe")
            sources = {"service": ("installer_bench_big_download.exe", service_url),
                       "nginx": ("installer_bench_next_port_download.exe", nginx.url)}
            try:
                for _ in range(rounds):
                    for source, (installer, url) in sources.items():
                        whole, download = install(rig, display, os.path.join(bin_dir, installer))
                        times[f"installer {source}"].append(whole)
                        times[f"installer download {source}"].append(download)
                        times[f"curl {source}"].append(curl_seconds(url, target))
                        times[f"reader {source}"].append(reader_seconds(rig, reader, url, target))
            finally:
                nginx.stop()
            for kind, scenario in (("trickle", "slow_download"), ("stall", "stalled_download")):
                run = Installer(rig, display, os.path.join(bin_dir, f"installer_bench_{scenario}.exe"))
                run.click(*INSTALL_BUTTON)
                time.sleep(2.0)  # the download under way
                latency[kind] = [run.seconds_to_quit_question() for _ in range(clicks)]
                run.quit()
            key = os.path.join(os.path.dirname(bin_dir), "bench-signer", "vendor.key")
            served = os.path.join(rig.build, "rig", "service_data", "BigSignedStarlitPad.exe")
            shutil.move(signed_program(work, os.path.join(bin_dir, "StarlitPad.exe"), key), served)
            for _ in range(rounds):
                for kind in ("unpinned", "pinned"):
                    prefix = "installer_bench_pinned" if kind == "pinned" else "installer_bench"
                    whole, _ = install(rig, display, os.path.join(bin_dir, f"{prefix}_big_signed_download.exe"))
                    signer[kind].append(whole)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    rows = []
    for source in ("service", "nginx"):
        installer = rate(times[f"installer {source}"])
        curl = rate(times[f"curl {source}"])
        reader = rate(times[f"reader {source}"])
        rows += [
            (f"200 MiB from the {source}: installer with its window, click to finished page",
             benchlib.spread(installer, " MiB/s", 1)),
            ("  of which the download (its .tmp made to the program in place)",
             benchlib.spread(rate(times[f"installer download {source}"]), " MiB/s", 1)),
            (f"200 MiB from the {source}: curl", benchlib.spread(curl, " MiB/s", 1)),
            (f"200 MiB from the {source}: least WinINet reader (1 MiB reads)", benchlib.spread(reader, " MiB/s", 1)),
            (f"  installer / reader, installer / curl ({source})",
             f"{statistics.median(installer) / statistics.median(reader):.2f}, "
             f"{statistics.median(installer) / statistics.median(curl):.2f}"),
        ]
    rows += [
        (f"close click to quit question, 8 kB/s trickle ({clicks} clicks)", benchlib.spread(latency["trickle"], " s")),
        (f"close click to quit question, stalled server ({clicks} clicks)", benchlib.spread(latency["stall"], " s")),
        ("200 MiB signed program, click to finished page, no signer pinned",
         benchlib.spread(signer["unpinned"], " s")),
        ("200 MiB signed program, click to finished page, its signer pinned",
         benchlib.spread(signer["pinned"], " s")),
        ("  the signer check's share: pinned − unpinned, pinned / unpinned (medians)",
         f"{statistics.median(signer['pinned']) - statistics.median(signer['unpinned']):.2f} s, "
         f"{statistics.median(signer['pinned']) / statistics.median(signer['unpinned']):.2f}"),
    ]
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--clicks", type=int, default=5)
    args = parser.parse_args()
    benchlib.setup()
    try:
        benchlib.print_rows(measure(args.rounds, args.clicks))
    except AssertionError as timed_out:
        sys.exit(f"bench: {timed_out}")


if __name__ == "__main__":
    main()
