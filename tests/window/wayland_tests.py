#!/usr/bin/env python3
"""The help window on a Wayland desktop: weston's headless backend as the
compositor (no screen, no X server), the toolkit's Wayland platform plugin in
the viewer. The first start shows its page there; a second start hands its
request and its activation token (XDG_ACTIVATION_TOKEN) to the running window.

A case that cannot have a compositor here (weston or its headless backend
missing, or weston not starting) is reported as skipped, with the reason.
"""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_tests import *  # noqa: F401,F403  Display, Viewer, check, poll, Failure
import window_tests

# ctest reports a case that exits with this code as skipped.
SKIPPED = 77
SOCKET = "wayland-kivtest"


def skip(reason):
    print("SKIPPED:", reason)
    sys.exit(SKIPPED)


class Weston:
    """A headless weston for one viewer folder, its socket in the viewer's
    private runtime folder."""

    def __init__(self, v):
        if not shutil.which("weston"):
            skip("weston is not installed (tools/install-deps.sh installs it)")
        self.log = os.path.join(v.root, "weston.log")
        self.socket = os.path.join(v.runtime, SOCKET)
        env = dict(os.environ, XDG_RUNTIME_DIR=v.runtime)
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        with open(self.log, "wb") as log:
            self.proc = subprocess.Popen(
                ["weston", "--backend=headless-backend.so", "--use-pixman", "--socket=" + SOCKET,
                 "--idle-time=0", "--no-config", "--width=1024", "--height=768"],
                env=env, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        end = time.monotonic() + 15
        while not os.path.exists(self.socket):
            if self.proc.poll() is not None or time.monotonic() > end:
                self.close()
                with open(self.log, errors="replace") as f:
                    skip("weston's headless backend did not start here:\n" + f.read()[-2000:])
            time.sleep(0.02)
        # The viewer runs on the compositor only: no X display to fall back to.
        v.env.update(WAYLAND_DISPLAY=SOCKET, QT_QPA_PLATFORM="wayland")
        v.env.pop("DISPLAY", None)
        v.env.pop("XDG_ACTIVATION_TOKEN", None)

    def running(self):
        return self.proc.poll() is None

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


def case_page_and_handoff(v):
    weston = Weston(v)
    try:
        s = v.start()
        check(s["platform"] == "wayland", "the viewer runs on %r, not wayland" % s["platform"])
        check(s["caption"] == "KivHelp Contents" and s["visible"], "the contents shown: %r" % s)
        check(s["history"] == ["contents.html"], "history starts at contents")
        v.wait_state("the contents' pictures from the package", lambda s: s["imagesSupplied"] >= 1)

        # A second start from the desktop, which gave it an activation token.
        env = dict(v.env, XDG_ACTIVATION_TOKEN="weston-test_TIME1234")
        p = subprocess.run([v.exe, "h", "using_viewer.html", "#history"], env=env,
                           capture_output=True, timeout=10)
        check(p.returncode == 0, "second start exit code %d: %r" % (p.returncode, p.stderr))
        s = v.wait_state("the handed-off page", lambda s: s["title"] == "KivHelp - Using the Viewer")
        check(s["pid"] == v.first.pid and v.first.poll() is None, "the first instance shows it")
        check(s["scrollY"] > 0 and s["history"][-1] == "using_viewer.html#history",
              "scrolled to the anchor, in history: %r" % s["history"])
        s = v.wait_state("the activation token", lambda s: s["activationToken"] != "")
        check(s["activationToken"] == "weston-test_TIME1234", "token %r" % s["activationToken"])
        check(s["activationTokenPresented"], "the token is presented to the compositor")

        # A start without a token still hands off; the window is raised as
        # the compositor allows.
        env.pop("XDG_ACTIVATION_TOKEN")
        p = subprocess.run([v.exe, "h", "keyboard.html"], env=env, capture_output=True, timeout=10)
        check(p.returncode == 0, "second start without a token: %r" % (p.stderr,))
        v.wait_state("the second handed-off page", lambda s: s["history"][-1] == "keyboard.html")
        check(v.first.poll() is None and weston.running(), "viewer and compositor still run")
    finally:
        # The viewer goes first: a client whose compositor ends reports a broken connection.
        if v.first and v.first.poll() is None:
            v.first.kill()
            v.first.wait()
        weston.close()


if __name__ == "__main__":
    window_tests.main({k: f for k, f in window_tests.cases_of(globals()).items()
                       if f.__module__ == __name__})
