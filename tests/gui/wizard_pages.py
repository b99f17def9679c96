"""The wizard window as a person sees it: where its buttons are, and which
page a screenshot shows. Coordinates are relative to the window's top left
corner; `origin` is that corner on the screen."""

from screen import near

WIDTH, HEIGHT = 600, 430
WIDE_NORMAL = (0, 170, 238)
LICENCE_BLUE = (0, 136, 255)

# The wide buttons of pages 0 (install; manual install on page 3 lies in
# the same place) and 2 (run), clear of their captions.
INSTALL_BUTTON = (300, 368)
INSTALL_FACE = [(176, 356), (424, 380)]
RUN_BUTTON = (300, 389)
RUN_FACE = [(176, 377), (424, 401)]
CLOSE_BUTTON = (579, 15)
LICENCE_LINK = (150, 411)
LICENCE_BACK = (300, 405)
# The progress bar's middle row along the top of the page area, and the
# red failure notice of page 3.
BAR_ROW = 307
# The bar's outermost rows: it overlaps the banner's last two rows and has no
# frame, so the row above it is the banner's and the row below the page's.
BAR_TOP, BAR_BOTTOM = 298, 315
FAILURE_NOTICE = (56, 388, 536, 420)


def pixel(screen, origin, x, y):
    return screen.at(origin[0] + x, origin[1] + y)


def _wide_button_shown(screen, origin, points):
    return all(near(pixel(screen, origin, x, y), WIDE_NORMAL, 12) for x, y in points)


def licence_panel_shown(screen, origin):
    """The licence panel covers the window, title bar included."""
    return all(near(pixel(screen, origin, x, y), LICENCE_BLUE, 8) for x, y in [(3, 3), (596, 426), (20, 300)])


def bar_length(screen, origin):
    """How many pixels of the progress bar's row are filled; None when the
    row is page-white all along (no bar shown)."""
    row = [pixel(screen, origin, x, BAR_ROW) for x in range(0, WIDTH)]
    if all(min(c) > 245 for c in row):
        return None
    return sum(1 for c in row if c[2] > c[0] + 60)  # the bar's blue


def page_of(screen, origin):
    """The wizard's current page as the screenshot shows it, or None (the
    licence panel, or a window still being painted)."""
    if licence_panel_shown(screen, origin):
        return None
    if _wide_button_shown(screen, origin, RUN_FACE):
        return 2
    if _wide_button_shown(screen, origin, INSTALL_FACE):
        left, top, right, bottom = FAILURE_NOTICE
        red = sum(1 for y in range(top, bottom, 2) for x in range(left, right, 2)
                  if pixel(screen, origin, x, y)[0] > 180 and max(pixel(screen, origin, x, y)[1:]) < 90)
        return 3 if red > 20 else 0
    return 1 if bar_length(screen, origin) is not None else None
