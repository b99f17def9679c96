"""The wizard window on the rig's display: the preview program shows it for the
sample product, and screenshots prove the design: where the window lies, the
banner, the title bar's glyphs and their pointer-over look, the install
button's colours as the licence box is ticked, the licence panel covering the
window, and the alpha rings of the shadow, which follow the window when it is
dragged. Screenshots are kept in
BUILD/gui-artefacts for review."""

import signal
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from screen import Rig, Screen, near, wait_until  # noqa: E402

WIDTH, HEIGHT = 600, 430
BLUE_PANEL = (0, 136, 255)
WIDE_NORMAL = (0, 170, 238)
WIDE_OVER = (0, 152, 212)
DARK_GLYPH = (82, 82, 82)


class WizardWindow(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.rig = Rig()
        cls.program = cls.rig.start("wizard_preview.exe")
        cls.origin = cls.rig.wait_for_window(WIDTH, HEIGHT)
        if cls.origin is None:
            cls.program.kill()
            raise AssertionError("the wizard window did not appear")
        cls.rig.move(5, 5)
        left, top = cls.origin
        cls.page0 = cls.rig.settled_shot("page0", region=(left - 6, top - 6, left + WIDTH + 6, top + HEIGHT + 6))

    @classmethod
    def tearDownClass(cls):
        cls.program.send_signal(signal.SIGTERM)
        try:
            cls.program.wait(timeout=20)
        except Exception:
            cls.program.kill()

    # Window coordinates to screen coordinates.
    def p(self, x, y):
        return self.origin[0] + x, self.origin[1] + y

    def pixel(self, screen, x, y):
        return screen.at(*self.p(x, y))

    def settle(self, name):
        left, top = self.origin
        return self.rig.settled_shot(name, region=(left, top, left + WIDTH, top + HEIGHT))

    def assert_near(self, screen, points, want, tolerance, what):
        for x, y in points:
            with self.subTest(what=what, x=x, y=y):
                colour = self.pixel(screen, x, y)
                self.assertTrue(near(colour, want, tolerance), f"{colour} is not near {want}")

    def test_window_is_centred_at_its_design_size_then_shrunk(self):
        # Centred as a 602 x 480 window on the 800 x 600 display, then
        # resized to 600 x 430 without moving.
        self.assertEqual(self.origin, ((800 - 602) // 2, (600 - 480) // 2))

    def test_banner_fills_the_top_and_the_page_below_is_white(self):
        banner = Screen.from_image(self.rig.source / "core" / "design" / "banner.png", resize=(600, 300))
        left, top = self.p(0, 30)  # below the title bar's texts and glyphs
        difference = self.page0.mean_difference(banner, left, top, left + 600, top + 268, 0, 30)
        self.assertLess(difference, 10.0)
        self.assert_near(self.page0, [(20, 320), (580, 340), (20, 425), (580, 425)], (255, 255, 255), 2,
                         "page background")

    def test_title_label_shows_the_product_name_in_white(self):
        bright = sum(1 for y in range(8, 24) for x in range(13, 120)
                     if min(self.pixel(self.page0, x, y)) > 200)
        self.assertGreater(bright, 20)
        # Past the name the label is clear: only the banner shows.
        dark = all(max(self.pixel(self.page0, x, y)) < 120 for y in range(8, 24) for x in range(200, 260))
        self.assertTrue(dark)

    def glyph_points(self):
        # Glyphs are drawn unscaled, centred in their 24 x 24 buttons: the
        # close cross (11 x 11) from (573, 9), the minimise bar (12 x 13,
        # bar on its 7th row) from (547, 8).
        close = [(573 + 5, 9 + 5), (573 + 1, 9 + 1), (573 + 9, 9 + 9), (573 + 9, 9 + 1), (573 + 1, 9 + 9)]
        minimise = [(547 + x, 8 + 6) for x in (0, 4, 8, 11)]
        return close, minimise

    def assert_light(self, screen, points, what):
        for x, y in points:
            with self.subTest(what=what, x=x, y=y):
                self.assertGreater(min(self.pixel(screen, x, y)), 150)

    def test_title_bar_glyphs_darken_under_the_pointer(self):
        close, minimise = self.glyph_points()
        self.assert_light(self.page0, close, "close glyph at rest")
        self.assert_light(self.page0, minimise, "minimise glyph at rest")
        # Just off the bar and the cross, the banner shows.
        for x, y in [(547 + 5, 8 + 4), (547 + 5, 8 + 8), (573 + 5, 9 + 1)]:
            self.assertLess(max(self.pixel(self.page0, x, y)), 120)

        self.rig.move(*self.p(580, 16))
        over_close = self.settle("close_pointer_over")
        self.assert_near(over_close, close[:1], DARK_GLYPH, 25, "close glyph under the pointer")
        self.assert_light(over_close, minimise, "minimise glyph while the pointer is on close")

        self.rig.move(*self.p(553, 15))
        over_minimise = self.settle("minimise_pointer_over")
        self.assert_near(over_minimise, minimise, DARK_GLYPH, 25, "minimise glyph under the pointer")
        self.assert_light(over_minimise, close, "close glyph once the pointer left")

        self.rig.move(*self.p(300, 200))
        rest = self.settle("glyphs_at_rest")
        self.assert_light(rest, close + minimise, "glyphs after the pointer left")

    def test_install_button_follows_the_licence_box(self):
        face = [(176, 356), (424, 380), (190, 368)]  # in the button, clear of the caption
        self.assert_near(self.page0, face, WIDE_NORMAL, 12, "enabled install button")

        self.rig.move(*self.p(190, 368))
        self.assert_near(self.settle("install_pointer_over"), face, WIDE_OVER, 12, "pointer over install")

        self.rig.click(*self.p(31, 411))  # the licence box
        self.rig.move(*self.p(300, 200))
        unticked = self.settle("licence_unticked")
        for x, y in face:
            with self.subTest(what="disabled install button", x=x, y=y):
                r, g, b = self.pixel(unticked, x, y)
                self.assertLess(max(abs(r - g), abs(g - b), abs(r - b)), 30, "the disabled face is grey")
        # Image and caption are embossed in greys: nothing blue is left.
        caption = [self.pixel(unticked, x, y) for y in range(353, 385) for x in range(172, 428)]
        self.assertFalse(any(c[2] - c[0] > 60 for c in caption))

        self.rig.click(*self.p(31, 411))
        self.rig.move(*self.p(300, 200))
        self.assert_near(self.settle("licence_ticked_again"), face, WIDE_NORMAL, 12, "enabled again")

    def test_licence_panel_covers_the_whole_window_until_back(self):
        self.rig.click(*self.p(150, 411))  # the licence link label
        self.rig.move(*self.p(20, 200))
        panel = self.settle("licence_panel")
        close, minimise = self.glyph_points()
        corners = [(1, 1), (598, 1), (1, 428), (598, 428), (300, 10), (20, 300), (580, 200)]
        self.assert_near(panel, corners + close + minimise, BLUE_PANEL, 8, "licence panel")
        text_box = [self.pixel(panel, x, y) for y in range(50, 374, 4) for x in range(50, 530, 4)]
        white = sum(1 for c in text_box if min(c) > 240)
        dark = sum(1 for c in text_box if max(c) < 100)
        self.assertGreater(white / len(text_box), 0.6, "the licence text box is white")
        self.assertGreater(dark, 50, "and holds text")

        self.rig.click(*self.p(300, 405))  # back
        self.rig.move(*self.p(300, 200))
        closed = self.settle("licence_panel_closed")
        self.assertLess(closed.mean_difference(self.page0, *self.p(0, 30), *self.p(600, 298), *self.p(0, 30)), 3.0)
        self.assert_light(closed, close + minimise, "glyphs back")

    def test_shadow_rings_rise_towards_the_window(self):
        self.assertEqual(shadow_faults(self.page0, self.origin), [])


# Grey 128 at alphas 5, 20, 35, 50, 65 over the black root window.
RINGS = [round(128 * a / 255) for a in (5, 20, 35, 50, 65)]


def shadow_faults(screen, origin):
    """Where the shadow of a window at `origin` is not as drawn: its rings on
    every side, and the black just outside them."""
    left, top = origin
    sides = {
        "left": [(-5 + i, 200) for i in range(5)],
        "top": [(300, -5 + i) for i in range(5)],
        "right": [(WIDTH + 4 - i, 200) for i in range(5)],
        "bottom": [(300, HEIGHT + 4 - i) for i in range(5)],
    }
    faults = []
    for side, points in sides.items():
        for (x, y), want in zip(points, RINGS):
            colour = screen.at(left + x, top + y)
            if not near(colour, (want, want, want), 3):
                faults.append((side, x, y, colour, want))
    for x, y in [(-6, 200), (300, HEIGHT + 5)]:
        if screen.at(left + x, top + y) != (0, 0, 0):
            faults.append(("outside", x, y, screen.at(left + x, top + y), 0))
    return faults


class DraggedWizard(unittest.TestCase):
    """A wizard of its own, dragged by its title bar: the shadow goes along
    whole, and nothing of it stays behind."""

    def test_the_shadow_follows_a_drag(self):
        rig = Rig()
        program = rig.start("wizard_preview.exe")
        try:
            origin = rig.wait_for_window(WIDTH, HEIGHT)
            self.assertIsNotNone(origin, "the wizard window did not appear")
            left, top = origin
            rig.xdotool("mousemove", left + 300, top + 10, "mousedown", "1")
            for step in range(1, 11):
                rig.xdotool("mousemove", left + 300 - 8 * step, top + 10 + 5 * step)
            rig.xdotool("mouseup", "1")
            rig.move(5, 5)
            moved = (left - 80, top + 50)
            wait_until(lambda: rig.wait_for_window(WIDTH, HEIGHT, limit=1) == moved, 10, "the window moved")
            screen = rig.settled_shot("dragged", region=(moved[0] - 6, moved[1] - 6, left + WIDTH + 6,
                                                          moved[1] + HEIGHT + 6))
            self.assertEqual(shadow_faults(screen, moved), [])
            # Where the right-hand rings were, the root window shows again.
            self.assertEqual([screen.at(left + WIDTH + 4 - i, top + 20) for i in range(5)], [(0, 0, 0)] * 5)
        finally:
            program.kill()
            program.wait(timeout=20)


if __name__ == "__main__":
    unittest.main(verbosity=2)
