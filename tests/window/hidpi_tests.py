#!/usr/bin/env python3
"""The help window on high-density screens: started with QT_SCALE_FACTOR under
the virtual display, its page is grabbed from the screen (xwd) and checked for
sharpness, and the toolbar's label for room; factors out of range are held
within 1 to 4."""
import ctypes
import functools
import os
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_tests import *  # noqa: F401,F403  Display, Viewer, check, poll, Failure
import window_tests


def grab(v):
    """The help window's pixels from the X server: (width, height, rows of (r, g, b))."""
    data = subprocess.run(["xwd", "-silent", "-id", v.window()], env=v.env,
                          capture_output=True, check=True).stdout
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line, ncolors = fields[7], fields[11], fields[12], fields[19]
    check(bits_per_pixel == 32, "xwd gave %d bits a pixel" % bits_per_pixel)
    start = header_size + 12 * ncolors
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line:start + y * bytes_per_line + 4 * width]
        if byte_order == 0:  # least significant byte first: B, G, R, pad
            rows.append([(line[i + 2], line[i + 1], line[i]) for i in range(0, 4 * width, 4)])
        else:
            rows.append([(line[i + 1], line[i + 2], line[i + 3]) for i in range(0, 4 * width, 4)])
    return width, height, rows


def uniform_ink_blocks(rows, left, top, right, bottom):
    """Share of 2 x 2 blocks touching ink whose four pixels are equal."""
    inked = uniform = 0
    for y in range(top, bottom - 1, 2):
        for x in range(left, right - 1, 2):
            block = (rows[y][x], rows[y][x + 1], rows[y + 1][x], rows[y + 1][x + 1])
            if all(p == (255, 255, 255) for p in block):
                continue
            inked += 1
            uniform += block.count(block[0]) == 4
    check(inked > 100, "no text found on the page (%d inked blocks)" % inked)
    return uniform / inked


class _MonitorInfo(ctypes.Structure):
    _fields_ = [("name", ctypes.c_ulong), ("primary", ctypes.c_int), ("automatic", ctypes.c_int),
                ("noutput", ctypes.c_int), ("x", ctypes.c_int), ("y", ctypes.c_int),
                ("width", ctypes.c_int), ("height", ctypes.c_int), ("mwidth", ctypes.c_int),
                ("mheight", ctypes.c_int), ("outputs", ctypes.POINTER(ctypes.c_ulong))]


class Monitors:
    """Splits the virtual display's one screen into monitors side by side, as
    two screens appear to a program (RandR 1.5). The server keeps them while
    this connection is open. monitors: (name, x, width) over the full height."""

    def __init__(self, display_name, height, monitors):
        x11 = ctypes.CDLL("libX11.so.6")
        randr = ctypes.CDLL("libXrandr.so.2")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        randr.XRRGetMonitors.restype = ctypes.POINTER(_MonitorInfo)
        randr.XRRGetMonitors.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                         ctypes.POINTER(ctypes.c_int)]
        randr.XRRSetMonitor.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                        ctypes.POINTER(_MonitorInfo)]
        self.x11 = x11
        self.dpy = x11.XOpenDisplay(display_name.encode())
        check(self.dpy, "cannot open display " + display_name)
        root = x11.XDefaultRootWindow(self.dpy)
        # The first monitor takes over the screen's own output, so the
        # automatic monitor covering the whole screen goes.
        count = ctypes.c_int()
        current = randr.XRRGetMonitors(self.dpy, root, 0, ctypes.byref(count))
        check(count.value >= 1 and current[0].noutput >= 1, "the display has no RandR monitor")
        output = (ctypes.c_ulong * 1)(current[0].outputs[0])
        for i, (name, x, width) in enumerate(monitors):
            info = _MonitorInfo(x11.XInternAtom(self.dpy, name.encode(), 0), int(i == 0), 0,
                                1 if i == 0 else 0, x, 0, width, height,
                                width * 254 // 960, height * 254 // 960,
                                output if i == 0 else None)
            randr.XRRSetMonitor(self.dpy, root, ctypes.byref(info))
        x11.XSync(self.dpy, 0)
        listed = randr.XRRGetMonitors(self.dpy, root, 0, ctypes.byref(count))
        names = sorted((listed[i].x, listed[i].width) for i in range(count.value))
        check(names == sorted((x, w) for _, x, w in monitors),
              "the display shows monitors %r" % names)

    def close(self):
        if self.dpy:
            self.x11.XCloseDisplay(self.dpy)
            self.dpy = None


def start_at(v, factor, *args):
    v.env["QT_SCALE_FACTOR"] = factor
    return v.start(*args)


def case_page_is_sharp_at_2x(v):
    s = start_at(v, "2", "h", "keyboard.html")
    check(s["devicePixelRatio"] == 2, "ratio %r" % s["devicePixelRatio"])
    width, height, rows = grab(v)
    # The window opens at 552 x 348 logical pixels: twice that on this screen.
    check((width, height) == (1104, 696), "window of %d x %d device pixels" % (width, height))
    x, y, w, h = s["pageRect"]
    share = uniform_ink_blocks(rows, 2 * x, 2 * y, 2 * (x + w), 2 * (y + h))
    check(share < 0.5, "%.0f %% of the page's 2 x 2 blocks are uniform" % (100 * share))
    label = s["fontSizeLabel"]
    check(label["width"] >= label["textWidth"],
          "the Font Size label is %d wide for text of %d" % (label["width"], label["textWidth"]))


def case_scale_factors_out_of_range_are_held(v):
    for factor, ratio in (("7", 4), ("nan", 1), ("0", 1), ("-2", 1), ("0.1", 1)):
        s = start_at(v, factor)
        check(s["devicePixelRatio"] == ratio,
              "QT_SCALE_FACTOR=%s painted at %r" % (factor, s["devicePixelRatio"]))
        check(s["paints"] > 0, "nothing painted at " + factor)
        v.first.kill()
        v.first.wait()
        os.remove(v.state_file)


def case_moved_to_a_denser_screen(v):
    # Two screens side by side: the left one at 100 %, the right one at 200 %.
    monitors = Monitors(v.env["DISPLAY"], 1600, (("LEFT", 0, 1200), ("RIGHT", 1200, 1400)))
    try:
        v.env["QT_SCREEN_SCALE_FACTORS"] = "LEFT=1;RIGHT=2"
        before = v.start("h", "keyboard.html")
        check(before["devicePixelRatio"] == 1, "started at ratio %r" % before["devicePixelRatio"])
        v.xdo("windowmove", v.window(), "1300", "40")
        after = v.wait_state("the page painted at ratio 2",
                             lambda s: s["devicePixelRatio"] == 2 and s["paints"] > before["paints"])
        # Painted again, not laid out again: the same layout and page length.
        for key in ("pageGeneration", "docHeight", "scrollY", "pageRect"):
            check(after[key] == before[key],
                  "%s went from %r to %r on the move" % (key, before[key], after[key]))
        x, y, w, h = after["pageRect"]
        # The last paint may still be on its way to the X server: grabbed
        # again until it is sharp, for a few seconds at most.
        end = time.monotonic() + 5
        while True:
            width, height, rows = grab(v)
            check(width >= 2 * (x + w) and height >= 2 * (y + h),
                  "window of %d x %d device pixels for a page of %d x %d" % (width, height, w, h))
            share = uniform_ink_blocks(rows, 2 * x, 2 * y, 2 * (x + w), 2 * (y + h))
            if share < 0.5 or time.monotonic() > end:
                break
            time.sleep(0.1)
        check(share < 0.5, "%.0f %% of the page's 2 x 2 blocks are uniform" % (100 * share))
        # And back to the first screen: the same page, painted at ratio 1.
        v.xdo("windowmove", v.window(), "40", "40")
        back = v.wait_state("the page painted at ratio 1 again",
                            lambda s: s["devicePixelRatio"] == 1 and s["paints"] > after["paints"])
        for key in ("pageGeneration", "docHeight", "pageRect"):
            check(back[key] == before[key],
                  "%s went from %r to %r on the move back" % (key, before[key], back[key]))
    finally:
        monitors.close()


if __name__ == "__main__":
    # A screen with room for the window at 200 % (and at the 400 % limit).
    window_tests.Display = functools.partial(window_tests.Display, "2600x1600")
    window_tests.main({k: f for k, f in window_tests.cases_of(globals()).items()
                       if f.__module__ == __name__})
