"""The installer end to end on the rig's display, driven like a person with
the pointer and the keyboard and watched through screenshots: a full install
from the reference service, quitting during the download and resuming in the
next run, folders that cannot take the install, a service that does not
answer, and broken or hostile servers (loops, stalls, cut bodies, addresses
with line breaks, a huge answer). Each run uses a copy of an installer built for the rig, stamped with
an agent id of its own (eight digits appended, as the stamp tool does), which
OEM.key must then carry. Screenshots are kept in BUILD/gui-artefacts/e2e for
review."""

import hashlib
import os
import shutil
import signal
import subprocess
import sys
import time
import unittest
import urllib.request
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from screen import Rig, Screen, near, wait_until  # noqa: E402
from wizard_pages import (BAR_BOTTOM, BAR_ROW, BAR_TOP, CLOSE_BUTTON, HEIGHT, INSTALL_BUTTON,  # noqa: E402
                          RUN_BUTTON, WIDTH, bar_length, page_of, pixel)

# The sample program's window as Wine shows it on a display without a
# window manager: its client area.
PROGRAM_WINDOW = (312, 173)
OEM_KEY = b"vex"
# How long the paused download's server falls silent (the reference
# service's paused_download scenario).
PAUSE_SECONDS = 4
LINK_NAME = "星光记事本.lnk"


def marker(agent_id):
    """What OEM.key holds for a stamp: its bytes with bit 4 flipped in
    hexadecimal, then digits 3 to 11 of the built-in key's MD5."""
    first = "".join("%02X" % (b ^ 0x10) for b in agent_id.encode("ascii"))
    return (first + hashlib.md5(OEM_KEY).hexdigest()[2:11].upper()).encode("ascii")


class Installs(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.rig = Rig()
        cls.drive_c = cls.rig.build / "wineprefix" / "drive_c"
        cls.folder = cls.drive_c / "StarlitPad"
        # The prefix's desktop folder is the rig's home folder.
        cls.link = cls.rig.build / "winehome" / LINK_NAME
        cls.artefacts = cls.rig.artefacts / "e2e"
        cls.artefacts.mkdir(exist_ok=True)
        cls.served_program = (cls.rig.build / "bin" / "StarlitPad.exe").read_bytes()
        cls.service = (cls.rig.build / "rig" / "service_url").read_text().strip()
        with urllib.request.urlopen(cls.service + "/files/logo.ico", timeout=20) as answer:
            cls.served_icon = answer.read()

    def setUp(self):
        self.processes = []
        self.clean()
        self.assertEqual(self.visible_windows(), [], "the display is not empty")

    def tearDown(self):
        # Nothing of this run stays running: the installer, or the program
        # it started.
        for process in self.processes:
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        for window in self.visible_windows():
            self.close_program_window(window)
        self.clean()

    def clean(self):
        if self.folder.is_symlink() or self.folder.is_file():
            self.folder.unlink()
        elif self.folder.exists():
            shutil.rmtree(self.folder)
        self.link.unlink(missing_ok=True)
        # Wine mirrors desktop links as desktop entries of the home folder.
        self.link.with_suffix(".desktop").unlink(missing_ok=True)

    # --- programs and windows ------------------------------------------------

    def stamped(self, program, agent_id):
        """A copy of a built installer with the agent id appended."""
        copy = self.artefacts / f"{Path(program).stem}-{agent_id}.exe"
        copy.write_bytes((self.rig.build / "bin" / program).read_bytes() + agent_id.encode("ascii"))
        return copy

    def start(self, program):
        process = self.rig.start(program)
        self.processes.append(process)
        return process

    def visible_windows(self):
        """(id, title, (left, top), (width, height)) of each visible window."""
        found = []
        for window in self.rig.xdotool("search", "--onlyvisible", "--name", ".").split():
            geometry = self.rig.xdotool("getwindowgeometry", window)
            if "Geometry: " not in geometry:
                continue  # gone meanwhile
            left, top = geometry.split("Position: ")[1].split()[0].split(",")
            width, height = geometry.split("Geometry: ")[1].split()[0].split("x")
            name = subprocess.run(["xdotool", "getwindowname", window], env=self.rig.env,
                                  capture_output=True).stdout.decode("utf-8", "replace").strip()
            found.append((window, name, (int(left), int(top)), (int(width), int(height))))
        return found

    def wizard(self):
        origin = self.rig.wait_for_window(WIDTH, HEIGHT, limit=90)
        self.assertIsNotNone(origin, "the wizard window did not appear")
        self.origin = origin
        return origin

    def message_box(self, limit=60):
        """The one visible window that is neither the wizard nor the program."""
        def box():
            others = [w for w in self.visible_windows() if w[3] not in ((WIDTH, HEIGHT), PROGRAM_WINDOW)]
            return others[0] if len(others) == 1 else None
        return wait_until(box, limit, "a message box")

    def answer(self, box, key):
        self.rig.xdotool("windowfocus", box[0])
        self.rig.xdotool("key", key)
        wait_until(lambda: all(w[0] != box[0] for w in self.visible_windows()), 30, "the box to close")

    def close_program_window(self, window):
        """Closes a window as a person would (Alt+F4); kills its process when
        that does not end it."""
        pid = self.rig.xdotool("getwindowpid", window[0]).strip()
        self.rig.xdotool("windowfocus", window[0])
        self.rig.xdotool("key", "alt+F4")
        try:
            wait_until(lambda: all(w[0] != window[0] for w in self.visible_windows()), 15, "the window to close")
        except AssertionError:
            if pid.isdigit():
                os.kill(int(pid), signal.SIGKILL)

    def quit_installer(self, process):
        """The close button, then OK: the installer ends with exit code 0."""
        self.click(*CLOSE_BUTTON)
        box = self.message_box()
        self.assertEqual(box[1], "提示")
        self.answer(box, "Return")
        self.assertEqual(process.wait(timeout=60), 0)

    # --- the wizard on screen --------------------------------------------------

    def click(self, x, y):
        self.rig.click(self.origin[0] + x, self.origin[1] + y)
        # Off every button, so that no pointer-over look is mistaken for a page.
        self.rig.move(self.origin[0] + 300, self.origin[1] + 150)

    def shot(self, name):
        return self.rig.shot(f"e2e/{name}")

    def page_of(self, screen):
        return page_of(screen, self.origin)

    def bar_length(self, screen):
        return bar_length(screen, self.origin)

    def assert_bar_without_frame(self, screen):
        """Every row of the bar has its middle row's colour, in the filled part
        and past it, and the bar sits between the banner and the white page."""
        banner = Screen.from_image(self.rig.source / "core" / "design" / "banner.png", resize=(WIDTH, 300))
        for x in (1, WIDTH - 2):
            middle = pixel(screen, self.origin, x, BAR_ROW)
            column = [pixel(screen, self.origin, x, y) for y in range(BAR_TOP, BAR_BOTTOM + 1)]
            with self.subTest(x=x):
                self.assertEqual([c for c in column if not near(c, middle, 2)], [])
                self.assertTrue(near(pixel(screen, self.origin, x, BAR_TOP - 1), banner.at(x, BAR_TOP - 1), 12))
                self.assertTrue(near(pixel(screen, self.origin, x, BAR_BOTTOM + 1), (255, 255, 255), 2))

    def wait_for_page(self, page, name, limit=90):
        def on_page():
            screen = self.shot(name)
            return screen if self.page_of(screen) == page else None
        return wait_until(on_page, limit, f"page {page}")

    # --- the installation's traces ---------------------------------------------

    def installed(self):
        return sorted(p.name for p in self.folder.iterdir()) if self.folder.is_dir() else []

    def download_requests(self, agent_id):
        with urllib.request.urlopen(f"{self.service}/_log?tag=agent-{int(agent_id)}", timeout=20) as answer:
            return [head for head in answer.read().decode("latin-1").split("\r\n\r\n") if head.strip()]

    # --- the runs -------------------------------------------------------------

    def test_full_install_then_run(self):
        installer = self.start(self.stamped("installer_rig.exe", "00000038"))
        self.wizard()
        self.wait_for_page(0, "full_page0")

        self.click(*INSTALL_BUTTON)
        self.wait_for_page(2, "full_page2")
        self.assertEqual((self.folder / "StarlitPad.exe").read_bytes(), self.served_program)
        self.assertEqual((self.folder / "OEM.key").read_bytes(), b"2020202020202328E3150706F")
        self.assertEqual((self.folder / "logo.ico").read_bytes(), self.served_icon)
        self.assertEqual(self.installed(), ["OEM.key", "StarlitPad.exe", "logo.ico"])
        link = self.link.read_bytes()
        self.assertTrue(b"StarlitPad.exe" in link or "StarlitPad.exe".encode("utf-16-le") in link)

        self.click(*RUN_BUTTON)
        self.assertEqual(installer.wait(timeout=60), 0)
        started = self.rig.wait_for_window(*PROGRAM_WINDOW, limit=60)
        self.assertIsNotNone(started, "the installed program did not start")
        self.shot("full_program_started")
        windows = [w for w in self.visible_windows() if w[3] == PROGRAM_WINDOW]
        self.assertEqual([w[1] for w in windows], ["星光记事本"])
        self.assertEqual([w for w in self.visible_windows() if w[3] == (WIDTH, HEIGHT)], [])

    def test_quit_during_the_download_then_resume(self):
        installer = self.start(self.stamped("installer_rig_slow.exe", "00000107"))
        self.wizard()
        self.wait_for_page(0, "resume_page0")
        self.click(*INSTALL_BUTTON)
        # A block or more has arrived: the bar has moved.
        def bar_moved():
            screen = self.shot("resume_page1")
            return screen if (self.bar_length(screen) or 0) > 3 else None
        self.assert_bar_without_frame(wait_until(bar_moved, 90, "the bar to move"))

        self.click(*CLOSE_BUTTON)
        box = self.message_box()
        self.assertEqual(box[1], "提示")
        self.shot("resume_quit_question")
        self.answer(box, "Return")  # OK
        self.assertEqual(installer.wait(timeout=60), 0)
        self.assertEqual(self.visible_windows(), [])
        kept = (self.folder / "StarlitPad.exe.tmp").stat().st_size
        self.assertGreater(kept, 0)
        self.assertLess(kept, len(self.served_program))
        # The partial program and the record of what it is a part of.
        self.assertEqual(self.installed(), ["StarlitPad.exe.tmp", "StarlitPad.exe.tmp.source"])
        record = (self.folder / "StarlitPad.exe.tmp.source").read_text()
        self.assertIn("\nversion=1.2.0\nlength=%d\n" % len(self.served_program), record)
        self.assertFalse(self.link.exists())

        # The same installer again: a partial file is only continued from
        # the address it came from.
        installer = self.start(self.stamped("installer_rig_slow.exe", "00000107"))
        self.wizard()
        self.wait_for_page(0, "resume_again_page0")
        self.click(*INSTALL_BUTTON)
        self.wait_for_page(2, "resume_page2")
        requests = self.download_requests("00000107")
        self.assertEqual(len(requests), 2, requests)
        self.assertNotIn("Range:", requests[0])
        self.assertIn(f"\r\nRange: bytes={kept}-", requests[1])
        self.assertEqual((self.folder / "StarlitPad.exe").read_bytes(), self.served_program)
        self.assertEqual((self.folder / "OEM.key").read_bytes(), marker("00000107"))
        self.assertEqual(self.installed(), ["OEM.key", "StarlitPad.exe", "logo.ico"])
        self.assertTrue(self.link.exists())
        self.quit_installer(installer)

    def test_a_stalled_server_never_holds_the_window(self):
        installer = self.start(self.stamped("installer_rig_stalled.exe", "00000109"))
        self.wizard()
        self.wait_for_page(0, "stall_page0")
        self.click(*INSTALL_BUTTON)
        # The server sends 100,000 bytes, then nothing, with the connection
        # open; the read under way waits for the rest of its buffer.
        temporary = self.folder / "StarlitPad.exe.tmp"
        wait_until(lambda: temporary.exists() and temporary.stat().st_size > 0, 60, "the first bytes")
        time.sleep(2.0)
        kept = temporary.stat().st_size
        self.assertLessEqual(kept, 100000)

        began = time.monotonic()
        self.click(*CLOSE_BUTTON)
        box = self.message_box(limit=10)
        self.assertLess(time.monotonic() - began, 5.0, "the window answered the close button late")
        self.assertEqual(box[1], "提示")
        self.answer(box, "Return")  # OK
        self.assertEqual(installer.wait(timeout=30), 0)
        self.assertEqual(self.installed(), ["StarlitPad.exe.tmp", "StarlitPad.exe.tmp.source"])
        self.assertEqual(temporary.stat().st_size, kept, "the temporary file keeps what was written")

    # --- quitting while the install job runs -----------------------------------

    def start_paused_install(self, agent_id, name):
        """An install whose server falls silent after its first bytes for a
        few seconds, then sends the rest; returns the installer and the
        temporary file once bytes have arrived."""
        installer = self.start(self.stamped("installer_rig_paused.exe", agent_id))
        self.wizard()
        self.wait_for_page(0, f"{name}_page0")
        self.click(*INSTALL_BUTTON)
        temporary = self.folder / "StarlitPad.exe.tmp"
        wait_until(lambda: temporary.exists() and temporary.stat().st_size > 0, 60, "the first bytes")
        return installer, temporary

    def test_a_confirmed_quit_stops_the_install_though_the_data_comes_again(self):
        installer, temporary = self.start_paused_install("00000111", "quit_paused")
        self.click(*CLOSE_BUTTON)
        box = self.message_box()
        self.assertEqual(box[1], "提示")
        # The server goes on sending while the question is open: the read
        # already waiting completes, and no other is made.
        time.sleep(PAUSE_SECONDS + 2)
        held = temporary.stat().st_size
        time.sleep(1)
        self.shot("quit_paused_question")
        self.assertEqual(temporary.stat().st_size, held, "a read was made while the question was open")
        self.answer(box, "Return")  # OK
        self.assertEqual(installer.wait(timeout=30), 0)
        self.assertEqual(self.visible_windows(), [])
        self.assertEqual(self.installed(), ["StarlitPad.exe.tmp", "StarlitPad.exe.tmp.source"])
        self.assertFalse(self.link.exists())
        kept = temporary.read_bytes()
        self.assertEqual(len(kept), held)
        self.assertLess(len(kept), len(self.served_program))
        self.assertEqual(kept, self.served_program[:len(kept)])

        # The next run continues where this one stopped.
        installer = self.start(self.stamped("installer_rig_paused.exe", "00000111"))
        self.wizard()
        self.wait_for_page(0, "quit_paused_again_page0")
        self.click(*INSTALL_BUTTON)
        self.wait_for_page(2, "quit_paused_again_page2")
        requests = self.download_requests("00000111")
        self.assertEqual(len(requests), 2, requests)
        self.assertIn(f"\r\nRange: bytes={len(kept)}-", requests[1])
        self.assertEqual((self.folder / "StarlitPad.exe").read_bytes(), self.served_program)
        self.assertEqual((self.folder / "OEM.key").read_bytes(), marker("00000111"))
        self.quit_installer(installer)

    def test_every_way_to_close_the_window_asks_first_and_cancel_goes_on(self):
        """A close message from another program (taskkill without /F),
        Alt+F4, and ten quick clicks on the close button: one question each,
        and after Cancel the install completes."""
        ways = [
            ("close_message", lambda program: subprocess.run(
                [str(self.rig.source / "scripts" / "wine-run"), str(self.rig.build), "taskkill", "/im", program.name],
                env=self.rig.env, capture_output=True, timeout=60)),
            ("alt_f4", lambda program: self.rig.xdotool("key", "alt+F4")),
            ("ten_clicks", lambda program: self.rig.xdotool(
                "mousemove", self.origin[0] + CLOSE_BUTTON[0], self.origin[1] + CLOSE_BUTTON[1],
                "click", "--repeat", "10", "--delay", "30", "1")),
        ]
        for serial, (name, close) in enumerate(ways):
            with self.subTest(name):
                self.clean()
                agent_id = "%08d" % (112 + serial)
                installer, _ = self.start_paused_install(agent_id, name)
                close(self.artefacts / f"installer_rig_paused-{agent_id}.exe")
                box = self.message_box()
                self.assertEqual(box[1], "提示")
                time.sleep(1)
                self.shot(f"{name}_question")
                self.message_box(limit=1)  # still exactly one box
                self.answer(box, "Escape")  # Cancel
                self.wait_for_page(2, f"{name}_page2")
                self.assertEqual((self.folder / "StarlitPad.exe").read_bytes(), self.served_program)
                self.assertEqual((self.folder / "OEM.key").read_bytes(), marker(agent_id))
                self.assertTrue(self.link.exists())
                self.assertIsNone(installer.poll(), "the installer is still running")
                self.quit_installer(installer)

    def test_a_pinned_installer_places_only_the_vendors_program(self):
        """Built with the test vendor's key pinned: the vendor's signed
        program installs; an unsigned one, another signer's, and one signed
        with the vendor's key in an expired certificate are refused, and the
        program installed before stays byte for byte, with no shortcut."""
        signers = self.rig.build / "bin" / "payload-signers"
        served = self.rig.build / "rig" / "service_data" / "SignedStarlitPad.exe"
        old = b"StarlitPad 1.1.0, installed before"
        for copy, installs in [("unsigned.exe", False), ("other.exe", False), ("expired.exe", False),
                               ("vendor.exe", True)]:
            with self.subTest(copy):
                self.clean()
                self.folder.mkdir()
                (self.folder / "StarlitPad.exe").write_bytes(old)
                shutil.copyfile(signers / copy, served)
                name = "pinned_" + copy[:-4]
                installer = self.start(self.stamped("installer_rig_pinned.exe", "00000120"))
                self.wizard()
                self.wait_for_page(0, f"{name}_page0")
                self.click(*INSTALL_BUTTON)
                if installs:
                    self.wait_for_page(2, f"{name}_page2")
                    self.assertEqual((self.folder / "StarlitPad.exe").read_bytes(), (signers / copy).read_bytes())
                    self.assertTrue(self.link.exists())
                else:
                    box = self.message_box()
                    self.shot(f"{name}_message")
                    self.answer(box, "Return")
                    self.wait_for_page(3, f"{name}_page3")
                    self.assertEqual((self.folder / "StarlitPad.exe").read_bytes(), old)
                    self.assertEqual(self.installed(), ["StarlitPad.exe"], "no partial file or record left")
                    self.assertFalse(self.link.exists())
                self.quit_installer(installer)

    def test_a_200_mib_program_installs_whole(self):
        installer = self.start(self.stamped("installer_rig_big.exe", "00000110"))
        self.wizard()
        self.wait_for_page(0, "big_page0")
        self.click(*INSTALL_BUTTON)
        self.wait_for_page(2, "big_page2", limit=300)
        served = hashlib.sha256()
        with urllib.request.urlopen(f"{self.service}/blob/{200 * 1024 * 1024}/StarlitPad.exe", timeout=60) as answer:
            for piece in iter(lambda: answer.read(1 << 20), b""):
                served.update(piece)
        installed = hashlib.sha256()
        with open(self.folder / "StarlitPad.exe", "rb") as program:
            for piece in iter(lambda: program.read(1 << 20), b""):
                installed.update(piece)
        self.assertEqual(installed.hexdigest(), served.hexdigest())
        self.assertEqual(self.installed(), ["OEM.key", "StarlitPad.exe", "logo.ico"])
        self.quit_installer(installer)

    def test_a_folder_that_cannot_take_the_install_is_refused(self):
        def a_file():
            self.folder.write_bytes(b"not a folder")

        def a_folder_without_room():
            # /proc is a folder in which no file can be created, even by root.
            self.folder.symlink_to("/proc")

        for name, obstacle in [("file", a_file), ("unwritable", a_folder_without_room)]:
            with self.subTest(name):
                self.clean()
                obstacle()
                installer = self.start(self.stamped("installer_rig.exe", "00000038"))
                self.wizard()
                self.wait_for_page(0, f"refused_{name}_page0")
                self.click(*INSTALL_BUTTON)
                box = self.message_box()
                self.assertEqual(box[1], "提示")
                self.shot(f"refused_{name}")
                self.answer(box, "Return")
                self.assertEqual(self.page_of(self.shot(f"refused_{name}_after")), 0)
                # Nothing half-installed.
                self.assertFalse(self.link.exists())
                if name == "file":
                    self.assertEqual(self.folder.read_bytes(), b"not a folder")
                else:
                    self.assertEqual(os.readlink(self.folder), "/proc")
                self.quit_installer(installer)

    def expect_silent_end(self, program):
        """The installer ends within a minute with exit code 0, showing no
        window and making no folder."""
        installer = self.start(self.stamped(program, "00000038"))
        deadline = time.monotonic() + 60
        while installer.poll() is None and time.monotonic() < deadline:
            self.assertEqual(self.visible_windows(), [], "a window appeared")
            time.sleep(0.2)
        self.assertEqual(installer.wait(timeout=5), 0)
        self.assertFalse(self.folder.exists())

    def test_service_down_ends_silently(self):
        self.expect_silent_end("installer_offline.exe")


    # --- broken and hostile servers -------------------------------------------

    def test_a_query_that_loops_or_stalls_ends_silently(self):
        for fault in ("loop", "stall"):
            with self.subTest(fault):
                self.expect_silent_end(f"installer_rig_{fault}.exe")

    def test_a_broken_icon_address_installs_with_an_empty_icon(self):
        for fault in ("loop_icon", "stall_icon", "crlf_icon"):
            with self.subTest(fault):
                self.clean()
                installer = self.start(self.stamped(f"installer_rig_{fault}.exe", "00000038"))
                self.wizard()
                self.wait_for_page(0, f"{fault}_page0")
                self.click(*INSTALL_BUTTON)
                self.wait_for_page(2, f"{fault}_page2")
                self.assertEqual((self.folder / "StarlitPad.exe").read_bytes(), self.served_program)
                self.assertEqual((self.folder / "logo.ico").read_bytes(), b"")
                self.assertTrue(self.link.exists())
                self.quit_installer(installer)

    def test_a_broken_download_never_leaves_a_short_program(self):
        """Each ends on the manual install page after its message; what
        stays in the folder is at most the temporary file with the record of
        its source, for a resume."""
        kept = 20000
        cases = [
            # (fault, temporary file before, folder afterwards)
            ("crlf_download", None, None),
            ("loop_download", None, None),
            ("ranged_cut_download", kept, ["StarlitPad.exe.tmp", "StarlitPad.exe.tmp.source"]),
        ]
        for fault, before, after in cases:
            with self.subTest(fault):
                self.clean()
                if before:
                    self.folder.mkdir()
                    (self.folder / "StarlitPad.exe.tmp").write_bytes(self.served_program[:before])
                installer = self.start(self.stamped(f"installer_rig_{fault}.exe", "00000038"))
                self.wizard()
                self.wait_for_page(0, f"{fault}_page0")
                self.click(*INSTALL_BUTTON)
                box = self.message_box()
                self.shot(f"{fault}_message")
                self.answer(box, "Return")
                self.wait_for_page(3, f"{fault}_page3")
                if after is None:
                    self.assertFalse(self.folder.exists(), "the folder the install made is gone again")
                else:
                    self.assertEqual(self.installed(), after)
                    temporary = (self.folder / "StarlitPad.exe.tmp").read_bytes()
                    self.assertEqual(temporary, self.served_program[:len(temporary)])
                    self.assertLess(len(temporary), len(self.served_program))
                self.assertFalse(self.link.exists())
                self.quit_installer(installer)

    def test_sixty_thousand_versions_install_the_current_one(self):
        installer = self.start(self.stamped("installer_rig_many_versions.exe", "00000038"))
        self.wizard()
        self.wait_for_page(0, "many_versions_page0")
        self.click(*INSTALL_BUTTON)
        self.wait_for_page(2, "many_versions_page2")
        self.assertEqual((self.folder / "StarlitPad.exe").read_bytes(), self.served_program)
        self.quit_installer(installer)

    # --- answers services give ---------------------------------------------------

    def install_through(self, program, agent_id, name):
        """Runs an installer to the finished page; its process, for quitting."""
        installer = self.start(self.stamped(program, agent_id))
        self.wizard()
        self.wait_for_page(0, f"{name}_page0")
        self.click(*INSTALL_BUTTON)
        self.wait_for_page(2, f"{name}_page2")
        return installer

    def test_a_gbk_answer_labelled_utf8_installs(self):
        """A web server that calls every answer UTF-8 in front of a service
        answering in GBK: the answer is read as it is, and the link carries
        the distributor's name."""
        installer = self.install_through("installer_rig_gbk_labelled_utf8.exe", "00000038", "gbk_labelled_utf8")
        self.assertEqual((self.folder / "StarlitPad.exe").read_bytes(), self.served_program)
        self.assertTrue(self.link.exists())
        self.quit_installer(installer)

    def test_a_download_address_with_spaces_downloads(self):
        installer = self.install_through("installer_rig_space_in_download.exe", "00000112", "space_in_download")
        with urllib.request.urlopen(f"{self.service}/blob/300000/served.exe", timeout=60) as answer:
            self.assertEqual((self.folder / "StarlitPad.exe").read_bytes(), answer.read())
        requests = self.download_requests("00000112")
        self.assertGreater(len(requests), 0)
        for head in requests:
            self.assertTrue(head.startswith("GET /blob/300000/Starlit%20Pad.exe?name=a%20b&tag=agent-112 HTTP/1.1\r\n"),
                            head)
        self.assertTrue(self.link.exists())
        self.quit_installer(installer)

    def test_a_size_field_of_another_meaning_installs(self):
        """`size` is "35.2M" beside the right SHA-256: some other field of that
        name, which refuses nothing."""
        installer = self.install_through("installer_rig_text_size.exe", "00000038", "text_size")
        self.assertEqual((self.folder / "StarlitPad.exe").read_bytes(), self.served_program)
        self.assertEqual(self.installed(), ["OEM.key", "StarlitPad.exe", "logo.ico"])
        self.quit_installer(installer)


if __name__ == "__main__":
    unittest.main(verbosity=2)
