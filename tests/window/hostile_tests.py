#!/usr/bin/env python3
"""The viewer in a hostile setting: links and FIFOs planted beside the
executable, a runtime folder made first by someone else, pictures and files
that are small on disk and huge once read, two installs of one user."""
import json
import os
import pwd
import shutil
import stat
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_tests import *  # noqa: F401,F403  Display, Viewer, check, poll, Failure
import window_tests


def pack(v, pages):
    """Packs pages ({name: bytes}) into the viewer's kivmap.hpm."""
    src = os.path.join(v.root, "help")
    for name, data in pages.items():
        path = os.path.join(src, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    subprocess.run([os.path.join(BIN, "kivpack"), "build", src, "-o", v.path("kivmap.hpm")],
                   check=True, stdout=subprocess.DEVNULL)


def peak_rss_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return 0


def case_planted_links(v):
    precious = {}
    for name in ["temp.jpg", "message.$$$", "kivmap.ini.tmp", "kivmap.ini"]:
        target = os.path.join(v.root, "precious-" + name)
        with open(target, "wb") as f:
            f.write(b"alice's own file\n")
        precious[target] = name
        os.symlink(target, v.path(name))
    v.start("h", "images.html")
    v.wait_state("the pictures", lambda s: s["imagesSupplied"] >= 2)
    code, err = v.second("h", "keyboard.html", "")
    check(code == 0, "hand-off: %d %s" % (code, err))
    v.wait_state("the handed-off page", lambda s: s["history"][-1] == "keyboard.html")
    v.press("ctrl+plus")
    v.wait_state("a larger size", lambda s: s["spinValue"] == 13)
    v.press("Escape")
    check(v.wait_exit() == 0, "closed")
    check("Help Font Size=13" in v.ini(), "the size saved: %r" % v.ini())
    for target, name in precious.items():
        with open(target, "rb") as f:
            check(f.read() == b"alice's own file\n", "%s followed into %s" % (name, target))
    for name in ["message.$$$", "kivmap.ini"]:
        check(stat.S_ISREG(os.lstat(v.path(name)).st_mode), name + " is a file of its own")
    check(not os.path.lexists(v.path("temp.jpg")), "temp.jpg written as a file, then deleted")
    with open(v.path("message.$$$"), "rb") as f:
        check(f.read() == b"h\r\nkeyboard.html\r\n\r\n", "the message file for the host")


def case_message_file_attacks(v):
    """Another user rewrites, or plants a FIFO or /dev/zero at, message.$$$
    in a loop; hand-offs still show what was asked, and nothing hangs."""
    v.start()
    stop = threading.Event()
    attack = os.path.join(v.root, "attack")
    with open(attack, "wb") as f:
        f.write(b"h\r\nglossary.html\r\n\r\n")

    def plant():
        n = 0
        while not stop.is_set():
            tmp = v.path("planted.%d" % n)
            kind = n % 3
            try:
                if kind == 0:
                    os.mkfifo(tmp)
                elif kind == 1:
                    os.symlink("/dev/zero", tmp)
                else:
                    os.link(attack, tmp)
                os.rename(tmp, v.path("message.$$$"))
            except OSError:
                pass
            n += 1
            time.sleep(0.001)

    t = threading.Thread(target=plant)
    t.start()
    try:
        pages = ["keyboard.html", "packing.html", "about.html", "images.html", "keyboard.html"]
        for i, page in enumerate(pages):
            code, err = v.second("h", page, "")
            check(code == 0, "hand-off %d: %d %s" % (i, code, err))
            v.wait_state(page, lambda s: s["history"][-1] == page and len(s["history"]) == i + 2,
                         timeout=5)
    finally:
        stop.set()
        t.join()
    s = v.state()
    check("glossary.html" not in s["history"], "the attacker's page never shown: %s" % s["history"])
    check(v.first.poll() is None, "still running")


def make_user():
    """A second local user for the test, or None when not root."""
    if os.getuid() != 0:
        return None
    name = "kivh%d" % os.getpid()
    for _ in range(20):
        if subprocess.run(["useradd", "-M", "-d", "/nonexistent", "-s", "/usr/sbin/nologin",
                           name], capture_output=True).returncode == 0:
            return pwd.getpwnam(name)
        time.sleep(0.2)  # another test holds the user database's lock
    raise Failure("useradd failed")


def remove_user(user):
    for _ in range(20):
        if subprocess.run(["userdel", user.pw_name], capture_output=True).returncode in (0, 6):
            return
        time.sleep(0.2)


def case_runtime_folder_made_first(v):
    """The viewer runs as a second user whose fallback folders were made
    first, open to all, by someone else: single instance still holds."""
    user = make_user()
    if user is None:
        print("skipped: needs root to create a second local user")
        return
    made = []
    try:
        for path in ["/tmp/runtime-%d" % user.pw_uid, "/tmp/kivhelp-%d" % user.pw_uid]:
            if not os.path.exists(path):
                os.mkdir(path)
                os.chmod(path, 0o777)
                made.append(path)
        home = os.path.join(v.root, "home")
        os.mkdir(home, 0o755)
        for path in [v.root, v.dir, home] + [os.path.join(v.dir, n) for n in os.listdir(v.dir)]:
            os.chown(path, user.pw_uid, user.pw_gid)
        os.chmod(v.root, 0o755)
        for name in ["state.json", "boxes.txt"]:
            open(os.path.join(v.root, name), "w").close()
            os.chown(os.path.join(v.root, name), user.pw_uid, user.pw_gid)
        env = dict(v.env, HOME=home, USER=user.pw_name)
        env.pop("XDG_RUNTIME_DIR")
        as_user = dict(user=user.pw_uid, group=user.pw_gid, extra_groups=[])
        v.first = subprocess.Popen([v.exe], env=env, stderr=subprocess.PIPE, **as_user)
        poll("the first painted page", lambda: v.painted())
        try:
            p = subprocess.run([v.exe, "h", "keyboard.html"], env=env, stderr=subprocess.PIPE,
                               timeout=10, **as_user)
        except subprocess.TimeoutExpired:
            raise Failure("the second start opened a window of its own")
        check(p.returncode == 0, "second start: %d %s" % (p.returncode, p.stderr))
        s = v.wait_state("the handed-off page", lambda s: s["history"][-1] == "keyboard.html")
        check(s["pid"] == v.first.pid, "shown by the first instance")
        private = os.path.join(home, ".cache", "kivhelp")
        st = os.lstat(private)
        check(stat.S_ISDIR(st.st_mode) and st.st_uid == user.pw_uid
              and stat.S_IMODE(st.st_mode) == 0o700, "the private folder in the home")
        check(os.listdir(private), "lock and channel in it")
    finally:
        if v.first and v.first.poll() is None:
            v.first.kill()
            v.first.wait()
        for path in made + ["/tmp/runtime-" + user.pw_name]:
            subprocess.run(["rm", "-rf", path])
        remove_user(user)


def case_two_installs(v):
    other = os.path.join(v.root, "other")
    os.mkdir(other)
    for name in ["kivhelp", "kivmap.hpm"]:
        shutil.copy2(v.path(name), os.path.join(other, name))
    v.start()
    second = subprocess.Popen([os.path.join(other, "kivhelp"), "h", "about.html"], env=dict(
        v.env, KIVHELP_STATE_FILE=os.path.join(v.root, "other.json")))
    try:
        def other_state():
            try:
                with open(os.path.join(v.root, "other.json")) as f:
                    return json.load(f)
            except (OSError, ValueError):
                return None
        poll("the second install's own window",
             lambda: (other_state() or {}).get("pid") == second.pid)
        code, _ = v.second("h", "keyboard.html", "")
        check(code == 0, "hand-off to the first install")
        v.wait_state("the first install's page", lambda s: s["history"][-1] == "keyboard.html")
        p = subprocess.run([os.path.join(other, "kivhelp"), "h", "packing.html"], env=v.env,
                           timeout=10)
        check(p.returncode == 0, "hand-off to the second install")
        poll("the second install's page",
             lambda: (other_state() or {}).get("history", [""])[-1] == "packing.html")
        check(v.state()["history"][-1] == "keyboard.html", "the first install kept its page")
    finally:
        second.kill()
        second.wait()


def case_long_runtime_path(v):
    deep = v.runtime
    while len(deep) < 105:
        deep = os.path.join(deep, "d" * min(20, 105 - len(deep) - 1) or "d")
        os.mkdir(deep, 0o700)
    v.env["XDG_RUNTIME_DIR"] = deep
    v.start()
    code, err = v.second("h", "keyboard.html", "")
    check(code == 0, "hand-off through a long runtime path: %d %s" % (code, err))
    v.wait_state("the handed-off page", lambda s: s["history"][-1] == "keyboard.html")


def case_unreachable_instance_is_reported(v):
    """The lock is held but nobody listens: the second start says so."""
    v.start()
    for name in os.listdir(v.runtime):
        if name.startswith("KivHelp"):
            os.remove(os.path.join(v.runtime, name))
    code, err = v.second("h", "keyboard.html", "")
    check(code == 1 and "could not be reached" in err, "reported: %d %s" % (code, err))


def case_handoff_during_error_box(v):
    v.env["KIVHELP_MESSAGE_BOX_MS"] = "1500"
    # A JPEG header declaring 16384 x 16384 pixels: beyond the largest picture.
    big = bytes([0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0x40, 0, 0x40, 0, 1, 1, 0x11, 0,
                 0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0, 0, 0, 0, 0xFF, 0xD9])
    imgs = "".join('<img src="b%d.jpg">' % i for i in range(50))
    pack(v, {"contents.html": b"<title>C</title>" + imgs.encode(),
             "keyboard.html": b"<title>K</title>keys",
             **{"b%d.jpg" % i: big for i in range(50)}})
    v.first = subprocess.Popen([v.exe], env=v.env, stderr=subprocess.PIPE)
    poll("the first box", lambda: v.boxes().count("\n") >= 1)
    code, _ = v.second("h", "keyboard.html", "")
    check(code == 0, "hand-off while the box is open")
    s = v.wait_state("the handed-off page after the box", lambda s: s["title"] == "K", timeout=15)
    check(s["history"][-1] == "keyboard.html", "history and page agree: %s" % s["history"])
    time.sleep(0.5)
    check(v.boxes().count("\n") == 1, "one box for fifty broken pictures: %r" % v.boxes())


def case_link_to_startup_file(v):
    outside = os.path.join(v.root, "startup.html")
    with open(outside, "wb") as f:
        f.write(b"<title>Secret</title>from disk")
    links = [outside, "../startup.html"]
    page = b"<title>C</title>" + b"".join(
        b'<h1><a href="%s">LINK LINK LINK LINK</a></h1>' % link.encode() for link in links)
    pack(v, {"contents.html": page, "keyboard.html": b"<title>K</title>k"})
    v.start()
    for i, link in enumerate(links):
        s = v.state()
        y = 31 + 30 + 70 * i
        v.click(60, y)
        s = v.wait_state("the link followed", lambda s: s["history"][-1] == link)
        time.sleep(0.2)
        check(v.state()["title"] != "Secret", "a link showed a start-up file from disk")
    # A show request still reads one.
    code, _ = v.second("start", outside, "")
    check(code == 0, "show request")
    v.wait_state("the start-up file", lambda s: s["title"] == "Secret")


def case_picture_bomb(v):
    """One 8192 x 8192 GIF of a few KB behind 60 names on one page."""
    gif = make_big_gif(8192, 8192)
    names = {"p%d.gif" % i: gif for i in range(60)}
    page = b"<title>Bomb</title>" + b"".join(b'<img src="p%d.gif">' % i for i in range(60))
    pack(v, {"contents.html": page, **names})
    # An address-space limit would stop AddressSanitizer's shadow memory from
    # being mapped, so a sanitizer build is held to the peak memory alone.
    limit = [] if "ASAN_OPTIONS" in os.environ else ["prlimit", "--as=%d" % (3 << 30)]
    v.first = subprocess.Popen([*limit, v.exe], env=v.env, stderr=subprocess.PIPE)
    # prlimit execs the viewer, so the pid is the viewer's.
    s = poll("the first painted page", lambda: v.painted(), timeout=30)
    check(s["title"] == "Bomb", "the page is shown")
    rss = peak_rss_mb(v.first.pid)
    check(rss < 900, "peak memory %.0f MB" % rss)


def make_big_gif(w, h, data_bytes=10000):
    """A w x h GIF whose image data (a clear code, then codes of colour 0)
    is a few KB: enough to count as the picture's data, far from all of it."""
    out = bytearray(b"GIF89a" + w.to_bytes(2, "little") + h.to_bytes(2, "little")
                    + bytes([0x80, 0, 0]) + bytes([0, 0, 0, 255, 255, 255]))
    out += b"\x2c" + bytes(4) + w.to_bytes(2, "little") + h.to_bytes(2, "little") + b"\x00"
    data = bytes([0x04]) + bytes(data_bytes - 1)  # clear code (4), then code 0
    out.append(2)
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out += b"\x00\x3b"
    return bytes(out)


CASES = {k: f for k, f in cases_of(globals()).items() if f.__module__ == __name__}

if __name__ == "__main__":
    window_tests.main(CASES)
