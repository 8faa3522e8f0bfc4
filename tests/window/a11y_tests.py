#!/usr/bin/env python3
"""The help window for readers who use the keyboard alone or a screen reader.

Keyboard cases drive the real window with xdotool; the atspi_ cases read it as
a screen reader does, through AT-SPI on a private D-Bus session with its own
accessibility bus (skipped, with the reason, where that bus cannot start).
Window cases also check that the window's place is kept in kivmap.ini.
"""
import html.parser
import os
import re
import select
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_tests import *  # noqa: F401,F403  Display, Viewer, check, poll, Failure
import window_tests

# ctest reports a case that exits with this code as skipped.
SKIPPED = 77
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
# Debian's AT-SPI bindings belong to the system's interpreter.
SYSTEM_PYTHON = "/usr/bin/python3"
SCREEN_W, SCREEN_H = 1024, 768


def skip(reason):
    print("SKIPPED:", reason)
    sys.exit(SKIPPED)


def settle(v, what, predicate):
    return v.wait_state(what, predicate, timeout=10)


def clipboard(v):
    out = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=v.env,
                         capture_output=True, timeout=10)
    return out.stdout.decode("utf-8", errors="replace")


def set_clipboard(v, text):
    # xclip serves the text from the background until the viewer takes the
    # clipboard again (or the display ends).
    subprocess.run(["xclip", "-i", "-selection", "clipboard"], env=v.env, input=text.encode(),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
    poll("the clipboard to change", lambda: clipboard(v) == text)


def geometry(v):
    out = subprocess.run(["xdotool", "getwindowgeometry", v.window()], env=v.env,
                         capture_output=True, text=True).stdout
    x, y = map(int, re.search(r"Position: (-?\d+),(-?\d+)", out).groups())
    w, h = map(int, re.search(r"Geometry: (\d+)x(\d+)", out).groups())
    return x, y, w, h


def write_ini(v, lines):
    with open(v.path("kivmap.ini"), "wb") as f:
        f.write(("[Help]\r\n" + "".join(line + "\r\n" for line in lines)).encode("latin-1"))


def page_links(name):
    """(text, href) of every link of a bundled page, blanks folded."""
    class Links(html.parser.HTMLParser):
        def __init__(self):
            super().__init__(convert_charrefs=True)
            self.links, self.href, self.text = [], None, ""

        def handle_starttag(self, tag, attrs):
            if tag == "a" and dict(attrs).get("href"):
                self.href, self.text = dict(attrs)["href"], ""

        def handle_endtag(self, tag):
            if tag == "a" and self.href is not None:
                self.links.append((" ".join(self.text.split()), self.href))
                self.href = None

        def handle_data(self, data):
            if self.href is not None:
                self.text += data

    parser = Links()
    with open(os.path.join(window_tests.SRC, "samples/help", name), encoding="latin-1") as f:
        parser.feed(f.read())
    return parser.links


# --- the keyboard -------------------------------------------------------------------

def case_tab_enter_history(v):
    s = v.start()
    check(s["focusedStop"] == -1 and s["focus"] == "page", "the page has the focus, no link")
    v.press("Tab")
    s = settle(v, "the first link focused", lambda s: s["focusedStop"] == 0)
    check(s["focusedLink"] == "using_viewer.html", "first link: " + s["focusedLink"])
    v.press("Tab")
    settle(v, "the second link", lambda s: s["focusedLink"] == "using_viewer.html#links")
    v.press("shift+Tab")
    settle(v, "back on the first link", lambda s: s["focusedStop"] == 0)
    v.press("Return")
    s = settle(v, "the link's page", lambda s: s["title"] == "KivHelp - Using the Viewer")
    check(s["history"] == ["contents.html", "using_viewer.html"], "history: %r" % s["history"])
    check(s["focusedStop"] == -1, "a new page starts before its first link")

    v.press("alt+Left")
    s = settle(v, "back", lambda s: s["title"] == "KivHelp Contents")
    check(s["historyIndex"] == 0 and not s["backEnabled"], "at the first entry")
    v.press("alt+Left")  # Back is disabled: nothing happens
    v.press("alt+Right")
    s = settle(v, "forward", lambda s: s["historyIndex"] == 1)
    check(s["title"] == "KivHelp - Using the Viewer", "forward shows the page")
    v.press("alt+Right")  # Forward is disabled now
    v.press("alt+Home")
    s = settle(v, "the contents", lambda s: s["title"] == "KivHelp Contents")
    check(s["historyIndex"] == 1 and len(s["history"]) == 2, "Contents leaves the history")

    # The mouse's side buttons and Backspace walk the history too.
    v.press("BackSpace")
    settle(v, "Backspace goes back", lambda s: s["historyIndex"] == 0)
    v.xdo("mousemove", "--window", v.window(), "300", "200")
    v.xdo("click", "9")
    settle(v, "the forward button", lambda s: s["historyIndex"] == 1)
    v.xdo("click", "8")
    settle(v, "the back button", lambda s: s["historyIndex"] == 0)


def case_tab_through_toolbar(v):
    v.start()
    v.press("Tab")
    v.press("Return")
    settle(v, "a second page", lambda s: s["backEnabled"] and s["focus"] == "page")
    # Backwards from the page: the toolbar's controls, right to left, then
    # the page's last link. Forward is disabled and skipped.
    expected = ["Search the help", "Copy All text to Clipboard", "Font Size",
                "Print the current page", "Back to previous page",
                "Go to the Help Contents Page", "page"]
    for name in expected:
        v.press("shift+Tab")
        settle(v, "Shift+Tab to " + name, lambda s, n=name: s.get("focus") == n)
    s = v.state()
    check(s["focusedStop"] > 0 and s["focusedLink"] == "contents.html",
          "the page's last link: %r" % s["focusedLink"])
    # On to the toolbar again, where Space presses the focused button.
    v.press("Tab")
    settle(v, "Tab past the last link", lambda s: s["focus"] == "Go to the Help Contents Page")
    v.press("space")
    s = settle(v, "Contents pressed", lambda s: s["title"] == "KivHelp Contents")
    check(s["historyIndex"] == 1, "Contents keeps the history")


def case_page_keys_and_copy(v):
    v.start()
    v.press("space")
    s = settle(v, "Space pages down", lambda s: s["scrollY"] > 100)
    page = s["scrollY"]
    v.press("space")
    settle(v, "and again", lambda s: s["scrollY"] > page)
    v.press("shift+space")
    v.press("shift+space")
    settle(v, "Shift+Space pages up", lambda s: s["scrollY"] == 0)

    v.press("ctrl+a")
    s = settle(v, "all selected", lambda s: s["selStart"] == 0 and s["selEnd"] > 1000)
    v.press("ctrl+c")
    text = poll("the copied text", lambda: (lambda t: t if "Contents" in t else None)(clipboard(v)))
    check(text.startswith(s["selectedText"]), "the clipboard holds the selected text")
    check("Copyright \u00a9 2024 the KivHelp authors" in text, "the page's last line is copied")
    check("\r\n" in text and "\x04" not in text, "lines end in CR LF, no picture codes")
    set_clipboard(v, "something else")
    v.press("ctrl+Insert")
    poll("Ctrl+Insert copies", lambda: clipboard(v) == text)
    # The Copy button takes the same text (reached from the page backwards,
    # past the search box, and pressed with Space).
    set_clipboard(v, "something else")
    v.press("shift+Tab")
    v.press("shift+Tab")
    settle(v, "on Copy", lambda s: s.get("focus") == "Copy All text to Clipboard")
    v.press("space")
    poll("Copy All", lambda: clipboard(v) == text)


# --- the window's place ---------------------------------------------------------------

def centred(v):
    x, y, w, h = geometry(v)
    return (w, h) == (552, 348) and abs(x + w // 2 - SCREEN_W // 2) <= 2 and \
        abs(y + h // 2 - SCREEN_H // 2) <= 2


def restart(v):
    if v.first and v.first.poll() is None:
        v.press("Escape")
        v.wait_exit()
    if os.path.exists(v.state_file):
        os.remove(v.state_file)
    v.start()


def case_geometry_kept(v):
    write_ini(v, ["Help Font Size=12", "Window Left=100", "Window Top=80", "Window Width=700",
                  "Window Height=500", "Window Maximized=0"])
    v.start()
    check(geometry(v) == (100, 80, 700, 500), "restored: %r" % (geometry(v),))
    v.xdo("windowsize", v.window(), "640", "420")
    v.xdo("windowmove", v.window(), "40", "30")
    poll("the window moved", lambda: geometry(v) == (40, 30, 640, 420))
    v.press("Escape")
    v.wait_exit()
    ini = v.ini()
    for key, value in (("Left", 40), ("Top", 30), ("Width", 640), ("Height", 420)):
        check("Window %s=%d\r\n" % (key, value) in ini, "Window %s written: %r" % (key, ini))
    check("Window Maximized=0\r\n" in ini, "not maximised")
    # A place partly off the screen is moved onto it.
    write_ini(v, ["Window Left=900", "Window Top=-50", "Window Width=600",
                  "Window Height=400"])
    restart(v)
    check(geometry(v) == (SCREEN_W - 600, 0, 600, 400), "moved onto the screen: %r"
          % (geometry(v),))


def case_geometry_bad_centred(v):
    bad = [["Window Left=5000", "Window Top=5000", "Window Width=700", "Window Height=500"],
           ["Window Left=10", "Window Top=10", "Window Width=99999", "Window Height=500"],
           ["Window Left=ten", "Window Top=10", "Window Width=700", "Window Height=500"],
           ["Window Left=10", "Window Top=10", "Window Width=700"]]
    for lines in bad:
        write_ini(v, lines)
        restart(v)
        check(centred(v), "%r gives the centred window, not %r" % (lines, geometry(v)))


# --- screen readers (AT-SPI) ----------------------------------------------------------

class AccessibilityBus:
    """A private D-Bus session with the AT-SPI bus and registry on it."""

    def __init__(self, display_name):
        self.procs = []
        if not shutil.which("dbus-daemon") or not os.path.exists(BUS_LAUNCHER):
            skip("dbus-daemon or at-spi-bus-launcher is not installed")
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE)
        ready, _, _ = select.select([bus.stdout], [], [], 10)
        self.address = bus.stdout.readline().decode().strip() if ready else ""
        if not self.address:
            self.close()
            skip("the private D-Bus session did not start")
        self.env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=self.address, DISPLAY=display_name)
        self.spawn([BUS_LAUNCHER, "--launch-immediately"], env=self.env)
        end = time.monotonic() + 10
        while subprocess.run(["dbus-send", "--session", "--dest=org.a11y.Bus", "--print-reply",
                              "/org/a11y/bus", "org.a11y.Bus.GetAddress"], env=self.env,
                             capture_output=True).returncode != 0:
            if time.monotonic() > end:
                self.close()
                skip("the accessibility bus did not start")
            time.sleep(0.05)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = self.address
        os.environ["DISPLAY"] = display_name

    def spawn(self, argv, **kw):
        kw.setdefault("stdout", subprocess.DEVNULL)
        p = subprocess.Popen(argv, stderr=subprocess.DEVNULL, **kw)
        self.procs.append(p)
        return p

    def close(self):
        for p in reversed(self.procs):
            p.terminate()
            p.wait()


def with_screen_reader(case):
    """Runs case(v, app) with the viewer on the accessibility bus; app is its
    AT-SPI application object."""
    def run(v):
        bus = AccessibilityBus(v.env["DISPLAY"])
        try:
            v.env.update(DBUS_SESSION_BUS_ADDRESS=bus.address, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
            import pyatspi
            v.start()

            def find_app():
                desktop = pyatspi.Registry.getDesktop(0)
                for i in range(desktop.childCount):
                    app = desktop.getChildAtIndex(i)
                    if app is not None and app.get_process_id() == v.first.pid:
                        return app
                return None
            case(v, poll("the viewer on the accessibility bus", find_app), pyatspi)
        finally:
            if v.first and v.first.poll() is None:
                v.first.kill()
                v.first.wait()
            bus.close()
    run.__name__ = case.__name__
    return run


def walk(node, role=None):
    """Every node under node (depth first, document order) with the role."""
    found = []
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        if role is None or child.getRoleName() == role:
            found.append(child)
        found += walk(child, role)
    return found


def document_of(app, pyatspi):
    app.clear_cache()
    docs = walk(app, "document frame")
    check(len(docs) == 1, "one document: %d" % len(docs))
    return docs[0]


@with_screen_reader
def case_atspi_controls_named(v, app, pyatspi):
    frames = walk(app, "frame")
    check(len(frames) == 1 and frames[0].name == v.state()["caption"],
          "the window is a frame named by its caption")
    shown = [n for n in walk(frames[0]) if n.getRoleName() in ("push button", "spin button",
                                                                 "text", "check box")
             and n.getState().contains(pyatspi.STATE_SHOWING)]
    names = [n.name for n in shown]
    check(all(names), "every control shown has a name: %r" % names)
    for name in ("Go to the Help Contents Page", "Back to previous page", "Forward",
                 "Print the current page", "Copy All text to Clipboard", "Font Size",
                 "Search the help"):
        check(name in names, "%r among %r" % (name, names))
    hidden = [n.name for n in walk(frames[0], "push button")]
    for name in ("Previous match", "Next match", "Close"):
        check(name in hidden, "find bar's %r among %r" % (name, hidden))
    # The buttons work from there too: Copy through its action.
    copy = [n for n in shown if n.name == "Copy All text to Clipboard"][0]
    copy.queryAction().doAction(0)
    poll("Copy pressed", lambda: "KivHelp shows the help" in clipboard(v))


@with_screen_reader
def case_atspi_document_text_and_links(v, app, pyatspi):
    doc = document_of(app, pyatspi)
    check(doc.name == "KivHelp Contents", "named by the title: %r" % doc.name)
    copy = [n for n in walk(app, "push button") if n.name == "Copy All text to Clipboard"][0]
    copy.queryAction().doAction(0)
    copied = poll("Copy All", lambda: (lambda t: t if "Contents" in t else None)(clipboard(v)))
    text = doc.queryText()
    check(text.getText(0, -1) == copied, "the document's text is the copied text")
    links = [c for c in walk(doc) if c.getRoleName() == "link"]
    expected = page_links("contents.html")
    got = [(c.name, c.description) for c in links]
    check(got == expected, "links: %r, the page's: %r" % (got[:6], expected[:6]))
    first = links[0].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    check(first.width > 20 and first.height > 10, "the first link has a place: %r" % (first,))
    # The selection is the viewer's own.
    v.press("ctrl+a")
    settle(v, "all selected", lambda s: s["selEnd"] > 1000)
    start, end = doc.queryText().getSelection(0)
    check(start == 0 and copied[:end].rstrip() == copied.rstrip(),
          "the whole text selected: %d..%d of %d" % (start, end, len(copied)))


@with_screen_reader
def case_atspi_press_link(v, app, pyatspi):
    doc = document_of(app, pyatspi)
    link = [c for c in walk(doc, "link") if c.name == "Keyboard and mouse"][0]
    action = link.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    check("Press" in names or "press" in names, "a press action: %r" % names)
    action.doAction(names.index("Press") if "Press" in names else names.index("press"))
    s = settle(v, "the link followed", lambda s: s["title"] == "KivHelp - Keyboard and Mouse")
    check(s["history"][-1] == "keyboard.html", "as a click: %r" % s["history"])
    doc = poll("the new page's document", lambda: (lambda d: d if d.name == s["title"] else None)(
        document_of(app, pyatspi)))
    got = [(c.name, c.description) for c in walk(doc, "link")]
    check(got == page_links("keyboard.html"), "the new page's links: %r" % got[:4])


def main():
    cases = {k: f for k, f in window_tests.cases_of(globals()).items()
             if getattr(f, "__module__", None) == __name__}
    what = sys.argv[3]
    if what.startswith("atspi_"):
        try:
            import pyatspi  # noqa: F401
        except ImportError:
            if os.path.realpath(sys.executable) != os.path.realpath(SYSTEM_PYTHON) and \
                    subprocess.run([SYSTEM_PYTHON, "-c", "import pyatspi"],
                                   capture_output=True).returncode == 0:
                os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON, os.path.abspath(__file__), *sys.argv[1:]])
            skip("the AT-SPI bindings (python3-pyatspi) are not installed")
    return window_tests.main(cases)


if __name__ == "__main__":
    sys.exit(main())
