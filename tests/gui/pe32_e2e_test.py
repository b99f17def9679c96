"""The 32-bit product itself end to end: the PE32 built for the rig, stamped,
in 32-bit Wine (under the i386 user-mode emulator where the kernel runs no
32-bit programs, see scripts/wine-i386-launcher). A whole install and its run
button, as install_e2e_test.py drives it; then the paths that only a first
call into a late-loaded system library takes: the title bar's pointer-over
look and its end when the pointer leaves (TrackMouseEvent), the folder
chooser of the shell and the common file dialog of the manual-install page
(comdlg32). Screenshots are kept in BUILD/gui-artefacts/e2e."""

import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import install_e2e_test  # noqa: E402
from screen import near, wait_until  # noqa: E402
from wizard_pages import INSTALL_BUTTON, WIDTH, HEIGHT, pixel  # noqa: E402

# The title bar's glyphs (close cross, minimise bar), light at rest and dark
# under the pointer.
CLOSE_GLYPH = (573 + 5, 9 + 5)
MINIMISE_GLYPH = (547 + 4, 8 + 6)
DARK_GLYPH = (82, 82, 82)
# The small button right of the edit line of pages 0 (浏览, the folder
# chooser) and 3 (选择, the file dialog).
SIDE_BUTTON = (530, 321)


class Pe32Run(install_e2e_test.Installs):
    """The whole install is the inherited test_full_install_then_run."""

    def glyph_is_dark(self, screen, point):
        return near(pixel(screen, self.origin, *point), DARK_GLYPH, 25)

    def hover(self, point, name):
        self.rig.move(self.origin[0] + point[0], self.origin[1] + point[1])
        left, top = self.origin
        return self.rig.settled_shot(f"e2e/{name}", region=(left, top, left + WIDTH, top + HEIGHT))

    def open_and_dismiss_dialog(self, name):
        """Clicks the side button; a dialog window opens, Escape closes it
        and the wizard stays."""
        self.click(*SIDE_BUTTON)
        box = self.message_box(limit=60)
        self.shot(name)
        self.answer(box, "Escape")
        return box

    def test_title_bar_pointer_and_the_dialogs(self):
        installer = self.start(self.stamped("installer_rig_crlf_download.exe", "00000038"))
        self.wizard()
        self.wait_for_page(0, "pe32_page0")

        over_close = self.hover((580, 16), "pe32_close_pointer_over")
        self.assertTrue(self.glyph_is_dark(over_close, CLOSE_GLYPH), "the close glyph under the pointer")
        over_minimise = self.hover((553, 15), "pe32_minimise_pointer_over")
        self.assertTrue(self.glyph_is_dark(over_minimise, MINIMISE_GLYPH), "the minimise glyph under the pointer")
        self.assertFalse(self.glyph_is_dark(over_minimise, CLOSE_GLYPH), "the close glyph once the pointer left")
        self.rig.move(self.origin[0] + 300, self.origin[1] + 150)

        self.open_and_dismiss_dialog("pe32_folder_chooser")
        self.assertEqual(self.page_of(self.shot("pe32_after_folder_chooser")), 0)

        # The download address is refused: the message, then the manual
        # install page with its file dialog.
        self.click(*INSTALL_BUTTON)
        box = self.message_box()
        self.answer(box, "Return")
        self.wait_for_page(3, "pe32_page3")
        dialog = self.open_and_dismiss_dialog("pe32_file_dialog")
        self.assertEqual(dialog[1], "请选择所需程序文件")
        self.assertEqual(self.page_of(self.shot("pe32_after_file_dialog")), 3)
        self.assertIsNone(installer.poll(), "the installer ended")
        self.quit_installer(installer)


def load_tests(loader, tests, pattern):
    return loader.loadTestsFromNames(["test_full_install_then_run", "test_title_bar_pointer_and_the_dialogs"],
                                     Pe32Run)


if __name__ == "__main__":
    unittest.main(verbosity=2)
