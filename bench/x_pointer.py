"""Pointer clicks sent to an X display from this process, through the XTEST
extension, for benchmarks that time from a click: the moment the X server has
taken the click is known to the millisecond. A click command such as xdotool
needs tens of milliseconds to start and connect, and on a busy machine it may
exit well after the click; either end of it would misplace the start of a
sub-second install."""

import ctypes


class XPointer:
    def __init__(self, display):
        """display: the X display's name, such as ":99"."""
        self._x11 = ctypes.CDLL("libX11.so.6")
        self._xtst = ctypes.CDLL("libXtst.so.6")
        self._x11.XOpenDisplay.restype = ctypes.c_void_p
        self._x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self._x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self._x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                                    ctypes.c_ulong]
        self._xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self._display = self._x11.XOpenDisplay(display.encode())
        if not self._display:
            raise SystemExit(f"bench: cannot open the X display {display}")

    def move(self, x, y):
        self._xtst.XTestFakeMotionEvent(self._display, -1, x, y, 0)
        self._x11.XSync(self._display, 0)

    def click(self, x, y):
        """Returns once the X server has processed the press and the release."""
        self._xtst.XTestFakeMotionEvent(self._display, -1, x, y, 0)
        self._xtst.XTestFakeButtonEvent(self._display, 1, 1, 0)
        self._xtst.XTestFakeButtonEvent(self._display, 1, 0, 0)
        self._x11.XSync(self._display, 0)

    def close(self):
        if self._display:
            self._x11.XCloseDisplay(self._display)
            self._display = None
