#!/usr/bin/env python3
"""The help window on high-density screens: started with QT_SCALE_FACTOR under
the virtual display, its page is grabbed from the screen (xwd) and checked for
sharpness, and the toolbar's label for room; factors out of range are held
within 1 to 4."""
import functools
import os
import struct
import subprocess
import sys

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


if __name__ == "__main__":
    # A screen with room for the window at 200 % (and at the 400 % limit).
    window_tests.Display = functools.partial(window_tests.Display, "2600x1600")
    window_tests.main({k: f for k, f in window_tests.cases_of(globals()).items()
                       if f.__module__ == __name__})
