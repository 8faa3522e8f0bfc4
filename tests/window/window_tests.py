#!/usr/bin/env python3
"""End-to-end tests of the real help viewer under a virtual X display.

Each case runs the built kivhelp from a private copy of its folder (the
package, settings and message file live beside the executable) with a private
runtime folder (instance lock, hand-off channel). The program reports its
state to a JSON file (KIVHELP_STATE_FILE) and its message boxes to a text file
(KIVHELP_MESSAGE_BOXES), so nothing waits on a dialog; keys and clicks go
through xdotool.

    window_tests.py BIN_DIR SOURCE_DIR CASE      run one case (exit 0: passed)
    window_tests.py BIN_DIR SOURCE_DIR --list    the cases
    window_tests.py BIN_DIR SOURCE_DIR --measure start-up figures
"""
import json
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

BIN, SRC = sys.argv[1], sys.argv[2]


class Failure(Exception):
    pass


def check(cond, message):
    if not cond:
        raise Failure(message)


def poll(what, predicate, timeout=10.0, step=0.005):
    """Polls predicate until it returns a true value; fails after timeout."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure("timed out waiting for " + what)
        time.sleep(step)


class Display:
    def __init__(self, size="1024x768"):
        r, w = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", size + "x24", "-nolisten", "tcp"],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(r, 16)
            if not chunk:
                raise Failure("Xvfb did not start")
            number += chunk
        os.close(r)
        self.name = ":" + number.decode().strip()

    def close(self):
        self.proc.terminate()
        self.proc.wait()


class Viewer:
    """A private viewer folder: executable, package, settings, runtime."""

    def __init__(self, display, package=True):
        self.root = tempfile.mkdtemp(prefix="kivwin-")
        self.dir = os.path.join(self.root, "bin")
        self.runtime = os.path.join(self.root, "run")
        os.mkdir(self.dir)
        os.mkdir(self.runtime, 0o700)
        self.exe = os.path.join(self.dir, "kivhelp")
        shutil.copy2(os.path.join(BIN, "kivhelp"), self.exe)
        if package:
            subprocess.run([os.path.join(BIN, "kivpack"), "build", os.path.join(SRC, "samples/help"),
                            "-o", os.path.join(self.dir, "kivmap.hpm")],
                           check=True, stdout=subprocess.DEVNULL)
        self.state_file = os.path.join(self.root, "state.json")
        self.boxes_file = os.path.join(self.root, "boxes.txt")
        self.env = dict(os.environ, DISPLAY=display.name, XDG_RUNTIME_DIR=self.runtime,
                        QT_QPA_PLATFORM="xcb", KIVHELP_STATE_FILE=self.state_file,
                        KIVHELP_MESSAGE_BOXES=self.boxes_file)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.pop("XDG_ACTIVATION_TOKEN", None)
        self.first = None

    def path(self, name):
        return os.path.join(self.dir, name)

    def start(self, *args):
        """Starts the first instance and waits for its first painted page."""
        self.first = subprocess.Popen([self.exe, *args], env=self.env, stderr=subprocess.PIPE)
        return poll("the first painted page", lambda: self.painted())

    def painted(self):
        s = self.state()
        return s if s and s.get("paints", 0) > 0 and s.get("pid") == self.first.pid else None

    def second(self, *args, timeout=10):
        """A second start; returns (exit code, standard error)."""
        p = subprocess.run([self.exe, *args], env=self.env, stderr=subprocess.PIPE, timeout=timeout)
        return p.returncode, p.stderr.decode(errors="replace")

    def state(self):
        try:
            with open(self.state_file, encoding="utf-8") as f:
                return json.load(f)
        except (OSError, ValueError):
            return None

    def wait_state(self, what, predicate, timeout=10.0):
        return poll(what, lambda: (lambda s: s if s and predicate(s) else None)(self.state()),
                    timeout)

    def boxes(self):
        try:
            with open(self.boxes_file, encoding="utf-8") as f:
                return f.read()
        except OSError:
            return ""

    def ini(self):
        try:
            with open(self.path("kivmap.ini"), "rb") as f:
                return f.read().decode("latin-1")
        except OSError:
            return ""

    def window(self):
        out = poll("the help window", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--pid", str(self.first.pid)],
            env=self.env, capture_output=True, text=True).stdout.split())
        return out[0]

    def xdo(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, capture_output=True)

    def press(self, key):
        self.xdo("windowfocus", self.window())
        time.sleep(0.05)
        self.xdo("key", key)

    def click(self, x, y):
        self.xdo("mousemove", "--window", self.window(), str(x), str(y))
        self.xdo("click", "1")

    def wait_exit(self, timeout=10):
        return self.first.wait(timeout)

    def close(self):
        if self.first and self.first.poll() is None:
            self.first.kill()
            self.first.wait()
        shutil.rmtree(self.root, ignore_errors=True)


def alive(pid):
    try:
        os.kill(pid, 0)
        return True
    except OSError:
        return False


# --- cases ------------------------------------------------------------------------------

def case_first_start(v):
    s = v.start()
    check(s["caption"] == "KivHelp Contents", "caption: " + s["caption"])
    check(s["topBar"] and not s["bottomBar"], "toolbar shown, bottom bar hidden")
    check(s["history"] == ["contents.html"] and not s["backEnabled"], "history starts at contents")
    v.wait_state("the contents' pictures from the package", lambda s: s["imagesSupplied"] >= 1)
    name = subprocess.run(["xdotool", "getwindowname", v.window()], env=v.env,
                          capture_output=True, text=True).stdout.strip()
    check(name == "KivHelp Contents", "window name: " + name)


def case_handoff(v):
    v.start()
    first = v.first.pid
    code, err = v.second("h", "using_viewer.html", "#history")
    check(code == 0, "second start exit code %d: %s" % (code, err))
    with open(v.path("message.$$$"), "rb") as f:
        check(f.read() == b"h\r\nusing_viewer.html\r\n#history\r\n", "message file")
    s = v.wait_state("the handed-off page", lambda s: s["title"] == "KivHelp - Using the Viewer")
    check(s["scrollY"] > 0, "scrolled to the anchor")
    check(s["history"][-1] == "using_viewer.html#history", "history entry")
    check(s["pid"] == first and v.first.poll() is None, "the first instance shows it")

    code, _ = v.second()
    check(code == 0, "second start without arguments")
    with open(v.path("message.$$$"), "rb") as f:
        check(f.read() == b"\r\n\r\n\r\n", "three empty lines")
    s = v.wait_state("the contents", lambda s: s["title"] == "KivHelp Contents")
    check(s["scrollY"] == 0 and s["pageKind"] == "h", "contents from the top, kind h")


def case_handoff_activation_token(v):
    v.start()
    check(v.state()["activationToken"] == "", "no token before a hand-off")
    env = dict(v.env, XDG_ACTIVATION_TOKEN="desktop-start_TIME77")
    p = subprocess.run([v.exe, "h", "using_viewer.html"], env=env, capture_output=True, timeout=10)
    check(p.returncode == 0, "second start: %r" % (p.stderr,))
    s = v.wait_state("the token", lambda s: s["activationToken"] == "desktop-start_TIME77")
    check(s["title"] == "KivHelp - Using the Viewer", "the page came with it: " + s["title"])
    # X11 has no activation tokens: the window is raised as without one.
    check(s["platform"] == "xcb" and not s["activationTokenPresented"], "raised on X11: %r" % s)
    with open(v.path("message.$$$"), "rb") as f:
        check(f.read() == b"h\r\nusing_viewer.html\r\n\r\n", "the host's file has no token")
    # What cannot be a token is not passed on; the request still is.
    env["XDG_ACTIVATION_TOKEN"] = "two words\nkind=start"
    p = subprocess.run([v.exe, "h", "keyboard.html"], env=env, capture_output=True, timeout=10)
    check(p.returncode == 0, "second start with a bad token: %r" % (p.stderr,))
    s = v.wait_state("the next page", lambda s: s["history"][-1] == "keyboard.html")
    check(s["activationToken"] == "desktop-start_TIME77" and s["topBar"],
          "the bad token is not received: %r" % s["activationToken"])


def case_rapid_handoffs(v):
    v.start()
    pages = ["keyboard.html", "packing.html", "glossary.html", "about.html", "images.html"]
    seconds = []
    for i in range(20):
        seconds.append(subprocess.Popen([v.exe, "h", pages[i % len(pages)]], env=v.env))
        seconds[-1].wait(10)
    check(all(p.returncode == 0 for p in seconds), "every second start exits 0")
    last = pages[19 % len(pages)]
    v.wait_state("the last request", lambda s: s["history"][-1] == last and s["pageLength"] > 0)
    time.sleep(0.3)
    s = v.state()
    check(s["history"][-1] == last, "still the last request: " + s["history"][-1])
    procs = subprocess.run(["pgrep", "-f", "-x", v.exe + ".*"], capture_output=True, text=True)
    pids = [int(p) for p in procs.stdout.split()]
    check(pids == [v.first.pid], "one process left: %s" % pids)


def case_escape_keeps_settings(v):
    with open(v.path("kivmap.ini"), "wb") as f:
        f.write(b"; host\r\n[Host]\r\nUser=ann\r\n[Help]\r\nShow Start=0\r\nHelp Font Size=20\r\n"
                b"[Tail]\r\nx=1\r\n")
    s = v.start()
    check(s["spinValue"] == 16 and s["fontSize"] == 20, "spin 16, viewer 20: %s" % s)
    v.press("Escape")
    check(v.wait_exit() == 0, "Esc ends the program")
    ini = v.ini()
    for line in ["; host", "[Host]", "User=ann", "Show Start=0", "Help Font Size=16", "[Tail]",
                 "x=1"]:
        check(line + "\r\n" in ini, "kivmap.ini keeps %r: %r" % (line, ini))
    check(not os.path.exists(v.path("temp.jpg")), "temp.jpg deleted")


def case_start_kind_check_box(v):
    s = v.start("start", "startup_pages.html")
    check(s["bottomBar"] and not s["topBar"], "bottom bar for a start kind")
    v.click(40, 348 - 31 + 15)
    v.wait_state("the box checked", lambda s: s["checked"])
    check("Show Start=0" in v.ini(), "checking writes Show Start=0: %r" % v.ini())
    v.click(40, 348 - 31 + 15)
    v.wait_state("the box unchecked", lambda s: not s["checked"])
    check("Show Start=1" in v.ini(), "unchecking writes Show Start=1")
    v.click(457 + 30, 348 - 31 + 15)  # OK
    check(v.wait_exit() == 0, "OK closes")


def case_missing_package(v):
    os.remove(v.path("kivmap.hpm"))
    v.first = subprocess.Popen([v.exe], env=v.env)
    poll("the error box", lambda: 'Help file "Kivmap.hpm" not found' in v.boxes())
    check(v.first.poll() is None, "the window stays open")


def case_killed_first_instance(v):
    v.start()
    v.first.send_signal(signal.SIGKILL)
    v.first.wait()
    s = v.start("h", "keyboard.html")
    check(s["history"][-1] == "keyboard.html", "the next start is a first start")


def case_bad_input(v):
    v.start()
    code, _ = v.second("h" * 100000, "x\x01\x1b\xe9\n.html", "#" + "a" * 100000)
    check(code == 0, "huge and odd arguments are handed off")
    v.wait_state("the request handled", lambda s: len(s["history"]) == 2)
    # Outside the package: the previous page stays. A start-up file that is
    # not there is dropped without an entry.
    codes = [v.second("h", "../../etc/passwd", "")[0], v.second("h", "/nowhere/STARTUP.HTML", "")[0],
             v.second("h", "about.html", "")[0]]
    check(codes == [0, 0, 0], "path names handed off")
    s = v.wait_state("all handled", lambda s: s["history"][-1] == "about.html")
    check(s["history"][2:] == ["../../etc/passwd", "about.html"], "history %s" % s["history"][2:])
    check(v.first.poll() is None, "still running")

    # The message file cannot be written: reported, exit 1, first untouched.
    os.remove(v.path("message.$$$"))
    os.mkdir(v.path("message.$$$"))
    before = v.state()
    code, err = v.second("h", "keyboard.html", "")
    check(code == 1 and "message.$$$" in err, "error reported: %d %s" % (code, err))
    check("message.$$$" in v.boxes(), "error box")
    time.sleep(0.3)
    unpainted = lambda s: {k: x for k, x in s.items() if k != "paints"}
    check(unpainted(v.state()) == unpainted(before) and v.first.poll() is None,
          "first instance untouched")

    # Settings that are garbage, or huge, are read as defaults; a huge file
    # is left as it was.
    huge = os.urandom(4096) + b"\r\n[Keep]\r\nk=v\r\n" + b"z" * (10 << 20)
    with open(v.path("kivmap.ini"), "wb") as f:
        f.write(huge)
    os.rmdir(v.path("message.$$$"))
    v.second("h", "keyboard.html", "")
    s = v.wait_state("the page", lambda s: s["history"][-1] == "keyboard.html")
    check(s["spinValue"] == 12, "default size")
    v.press("Escape")
    check(v.wait_exit() == 0, "closed")
    with open(v.path("kivmap.ini"), "rb") as f:
        check(f.read() == huge, "a settings file over 1 MB is left alone")


def focus_named(v, name):
    """Focuses the program's visible window of that name."""
    wid = poll("the window " + name, lambda: subprocess.run(
        ["xdotool", "search", "--all", "--onlyvisible", "--pid", str(v.first.pid), "--name",
         "^%s$" % name],
        env=v.env, capture_output=True, text=True).stdout.split())
    v.xdo("windowfocus", wid[0])
    time.sleep(0.1)


def find_state(v, what, predicate):
    return v.wait_state(what, lambda s: "find" in s and predicate(s["find"]))


def case_find_bar(v):
    v.start()
    v.press("ctrl+f")
    find_state(v, "the find bar open and focused", lambda f: f["visible"] and f["focused"])
    v.xdo("type", "--delay", "20", "help")
    # The bar finds as one types: wait for the whole word, not the match of its first letters.
    s = find_state(v, "the first match",
                   lambda f: f["text"] == "help" and f["count"].startswith("1 of "))
    total = int(s["find"]["count"].split(" of ")[1])
    check(total >= 3, "several matches on the contents: %s" % s["find"]["count"])
    check(s["selectedText"].strip().lower() == "help", "the match selected: %r" % s["selectedText"])
    v.press("F3")
    find_state(v, "the second match", lambda f: f["count"] == "2 of %d" % total)
    v.press("Return")
    find_state(v, "Enter: the third", lambda f: f["count"] == "3 of %d" % total)
    v.press("shift+F3")
    v.press("shift+F3")
    v.press("shift+F3")
    s = find_state(v, "wrapped to the last", lambda f: f["count"] == "%d of %d" % (total, total))
    check("continued from the bottom" in s["find"]["message"], "wrap announced: %s" % s["find"])
    # A new text is counted again; Alt+C matches the letter case.
    v.xdo("key", "ctrl+a")
    v.xdo("type", "--delay", "20", "HELP")
    find_state(v, "a new text",
               lambda f: f["text"] == "HELP" and f["count"].endswith(" of %d" % total))
    v.xdo("key", "alt+c")
    find_state(v, "case matched", lambda f: f["matchCase"] and f["count"] == "No matches")
    v.xdo("key", "alt+c")
    find_state(v, "case ignored",
               lambda f: not f["matchCase"] and f["count"].endswith(" of %d" % total))
    # An emptied box clears the count and leaves the page alone.
    v.xdo("key", "ctrl+a", "BackSpace")
    s = find_state(v, "the count cleared", lambda f: f["text"] == "" and f["count"] == "")
    # Esc closes the bar first, then the window.
    v.press("Escape")
    find_state(v, "the bar closed", lambda f: not f["visible"])
    time.sleep(0.3)
    check(v.first.poll() is None, "the window stays open while a bar was closed")
    v.press("Escape")
    check(v.wait_exit() == 0, "the second Esc closes the window")


def case_zoom_keys(v):
    v.start()
    for _ in range(6):
        v.press("ctrl+plus")
    v.wait_state("zoomed to the largest", lambda s: s["spinValue"] == 16 and s["fontSize"] == 16)
    for _ in range(10):
        v.press("ctrl+minus")
    v.wait_state("zoomed to the smallest", lambda s: s["spinValue"] == 8 and s["fontSize"] == 8)
    v.press("ctrl+0")
    v.wait_state("back to 12", lambda s: s["fontSize"] == 12)
    v.press("ctrl+equal")
    v.wait_state("ctrl and = zoom in", lambda s: s["fontSize"] == 13)
    # Ctrl with the wheel over the page.
    v.xdo("mousemove", "--window", v.window(), "200", "150")
    v.xdo("keydown", "ctrl")
    v.xdo("click", "4")
    v.xdo("keyup", "ctrl")
    s = v.wait_state("the wheel zoomed in", lambda s: s["fontSize"] == 14)
    check(s["scrollY"] == 0, "a zooming wheel does not scroll")
    v.press("Escape")
    check(v.wait_exit() == 0, "closed")
    check("Help Font Size=14\r\n" in v.ini(), "the size kept: %r" % v.ini())


def case_context_menu(v):
    v.env["KIVHELP_PRINT_FILE"] = os.path.join(v.root, "menu.pdf")
    v.start()
    v.press("Menu")
    s = v.wait_state("the menu from the Menu key", lambda s: "contextMenu" in s)
    items = {i["text"]: i["enabled"] for i in s["contextMenu"]}
    check(items == {"Copy": False, "Select All": True, "Back": False, "Forward": False,
                    "Print": True}, "menu items: %s" % s["contextMenu"])
    v.xdo("key", "Escape")
    v.wait_state("the menu closed", lambda s: "contextMenu" not in s)
    time.sleep(0.3)
    check(v.first.poll() is None, "Esc in the menu closes only the menu")
    v.press("shift+F10")
    v.wait_state("the menu from Shift+F10", lambda s: "contextMenu" in s)
    v.xdo("key", "a")
    s = v.wait_state("Select All chosen", lambda s: "contextMenu" not in s and s["selectedText"])
    check("Help for the help viewer" in s["selectedText"], "all selected: %r"
          % s["selectedText"][:40])
    v.press("shift+F10")
    s = v.wait_state("the menu again", lambda s: "contextMenu" in s)
    check({i["text"]: i["enabled"] for i in s["contextMenu"]}["Copy"], "Copy with a selection")
    v.xdo("key", "c")
    v.wait_state("copied", lambda s: "Help for the help viewer" in s["clipboard"])
    # Right click over a link: its location can be copied. The first links
    # are a screen down.
    v.press("Next")
    v.wait_state("scrolled", lambda s: s["scrollY"] > 0)
    wid = v.window()
    link = None
    for y in range(40, 340, 4):
        v.xdo("mousemove", "--window", wid, "80", str(y))
        time.sleep(0.03)
        s = v.state()
        if s["hoverUrl"].endswith(".html"):
            link = s["hoverUrl"]
            break
    check(link, "a link on the contents page")
    v.xdo("click", "3")
    s = v.wait_state("the menu from a right click", lambda s: "contextMenu" in s)
    check("Copy Link Location" in [i["text"] for i in s["contextMenu"]], "%s" % s["contextMenu"])
    v.xdo("key", "l")
    v.wait_state("the link copied", lambda s: s["clipboard"] == link)
    # Back and Forward from the menu, after a page was shown.
    v.second("h", "keyboard.html", "")
    v.wait_state("the second page", lambda s: s["history"][-1] == "keyboard.html")
    v.press("Menu")
    v.wait_state("the menu", lambda s: "contextMenu" in s)
    v.xdo("key", "b")
    v.wait_state("Back chosen", lambda s: s["historyIndex"] == 0 and "contextMenu" not in s)
    v.press("Menu")
    v.wait_state("the menu", lambda s: "contextMenu" in s)
    v.xdo("key", "f")
    v.wait_state("Forward chosen", lambda s: s["historyIndex"] == 1 and "contextMenu" not in s)
    # Print from the menu, into the file given for unattended runs.
    v.press("shift+F10")
    v.wait_state("the menu", lambda s: "contextMenu" in s)
    v.xdo("key", "p")
    poll("the printed page", lambda: os.path.exists(os.path.join(v.root, "menu.pdf")))


def case_print_preview(v):
    pdf = os.path.join(v.root, "printed.pdf")
    v.env["KIVHELP_PRINT_FILE"] = pdf
    v.start("h", "html_reference.html")
    # Shift with a click on Print.
    v.xdo("mousemove", "--window", v.window(), "184", "15")
    v.xdo("keydown", "shift")
    v.xdo("click", "1")
    v.xdo("keyup", "shift")
    s = v.wait_state("the preview", lambda s: s.get("preview", {}).get("visible")
                     and s["preview"]["pages"] > 0)
    pages = s["preview"]["pages"]
    check(s["preview"]["page"] == 1 and not s["preview"]["error"], "page 1: %s" % s["preview"])
    check(pages > 1, "the reference prints on several pages: %d" % pages)
    focus_named(v, "Print Preview")
    v.xdo("key", "Next")
    v.wait_state("the next page", lambda s: s["preview"]["page"] == 2, timeout=5)
    v.xdo("key", "End")
    v.wait_state("the last page", lambda s: s["preview"]["page"] == pages)
    # Printing from the preview: the same pages reach the printer.
    v.xdo("key", "alt+p")
    poll("the printed file", lambda: os.path.exists(pdf))
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
    printed = re.search(r"^Pages:\s+(\d+)$", info, re.M)
    check(printed and int(printed.group(1)) == pages, "printed %s, preview %d" % (info, pages))
    v.xdo("key", "Escape")
    v.wait_state("the preview closed", lambda s: not s["preview"]["visible"])
    time.sleep(0.3)
    check(v.first.poll() is None, "the help window stays")
    # From the keyboard, and from the print button's menu.
    v.press("ctrl+shift+p")
    v.wait_state("the preview from Ctrl+Shift+P", lambda s: s["preview"]["visible"])
    focus_named(v, "Print Preview")
    v.xdo("key", "Escape")
    v.wait_state("closed again", lambda s: not s["preview"]["visible"])
    v.xdo("mousemove", "--window", v.window(), "184", "15")
    v.xdo("click", "3")
    v.wait_state("the print menu", lambda s: s.get("printMenu"))
    v.xdo("key", "v")
    v.wait_state("the preview from the menu", lambda s: s["preview"]["visible"])
    # Esc in the help window ends the program, preview and all.
    v.press("Escape")
    check(v.wait_exit() == 0, "the program ends with the help window")


def case_search_box(v):
    v.start()
    v.press("ctrl+k")
    v.wait_state("the search box focused", lambda s: s["searchFocused"])
    v.xdo("type", "--delay", "20", "font size")
    s = v.wait_state("the results as typed",
                     lambda s: s["history"][-1] == "search:font size" and s["searchResults"])
    check(s["backEnabled"] and s["title"] != "KivHelp Contents", "results shown: %s" % s["title"])
    results = s["title"]
    # Enter opens the first result; the results stay in history before it.
    first = s["searchResults"][0]
    v.xdo("key", "Return")
    v.wait_state("the first result", lambda s: s["history"][-1] == first and
                 s["history"][-2] == "search:font size")
    v.click(101 + 12, 15)  # Back
    v.wait_state("back to the results", lambda s: s["title"] == results)
    v.click(101 + 12, 15)  # Back
    v.wait_state("back to the contents", lambda s: s["title"] == "KivHelp Contents")
    v.click(130 + 12, 15)  # Forward
    v.wait_state("forward to the results", lambda s: s["title"] == results)
    # Bad input: only spaces, a very long query, markup.
    v.press("ctrl+shift+f")
    v.wait_state("focused again", lambda s: s["searchFocused"])
    v.xdo("key", "ctrl+a")
    v.xdo("type", "--delay", "5", "<B>")
    v.wait_state("markup searched", lambda s: "search:<B>" in s["history"])
    v.xdo("key", "Return")
    check(v.first.poll() is None, "still running")


CASES = {name[5:]: fn for name, fn in globals().items() if name.startswith("case_")}


def cases_of(namespace):
    """The case_ functions of a module's globals, by name without the prefix."""
    return {name[5:]: fn for name, fn in namespace.items() if name.startswith("case_")}


def run_case(name, cases=None):
    cases = CASES if cases is None else cases
    display = Display()
    v = Viewer(display)
    try:
        cases[name](v)
        print("passed:", name)
        return 0
    except Failure as e:
        print("FAILED:", name, "-", e)
        if v.first and v.first.poll() is not None and v.first.stderr:
            print(v.first.stderr.read().decode(errors="replace"))
        return 1
    finally:
        v.close()
        display.close()


def measure():
    """Start to first painted page, hand-off to the new page painted, memory."""
    display = Display()
    starts, handoffs, rss = [], [], []
    try:
        for _ in range(7):
            v = Viewer(display)
            try:
                t0 = time.monotonic()
                v.start()
                starts.append((time.monotonic() - t0) * 1000)
                paints = v.state()["paints"]
                t0 = time.monotonic()
                v.second("h", "using_viewer.html", "#history")
                v.wait_state("painted", lambda s: s["title"].endswith("Using the Viewer")
                             and s["paints"] > paints, timeout=5)
                handoffs.append((time.monotonic() - t0) * 1000)
                with open("/proc/%d/status" % v.first.pid) as f:
                    for line in f:
                        if line.startswith("VmRSS:"):
                            rss.append(int(line.split()[1]) / 1024)
            finally:
                v.close()
    finally:
        display.close()
    print("start to first painted page: median %.0f ms (min %.0f, max %.0f)"
          % (statistics.median(starts), min(starts), max(starts)))
    print("second start's hand-off to the new page painted: median %.0f ms (min %.0f, max %.0f)"
          % (statistics.median(handoffs), min(handoffs), max(handoffs)))
    print("resident memory with the bundled help: median %.1f MB" % statistics.median(rss))
    return 0


def main(cases):
    """Command line of every window test file: --list, --measure or one case."""
    what = sys.argv[3]
    if what == "--list":
        print("\n".join(cases))
        sys.exit(0)
    if what == "--measure":
        sys.exit(measure())
    sys.exit(run_case(what, cases))


if __name__ == "__main__":
    main(CASES)
