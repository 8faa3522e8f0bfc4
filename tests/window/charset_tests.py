#!/usr/bin/env python3
"""Help written in Russian, in the real window.

The case makes a small tree as a Russian manual ships it (UTF-8 pages, one
page declared in KOI8-R, one in Windows-1251, in a subfolder linked relative
to it), packs it with kivpack without --substitute (so no character may be
lost), and reads it back in the window: the caption, the page text, Copy All
and a link followed, and the same text from kivdump text.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_tests import *  # noqa: F401,F403  Display, Viewer, check, poll, Failure
import window_tests

TITLE = "Часто задаваемые вопросы"
TEXT = "Что такое Debian? Ёж, ЯЗЫК и язык."
KOI_TITLE = "Вторая страница"
KOI_TEXT = "Пакеты устанавливаются командой apt."
CP_TEXT = "Третья страница, «в кавычках» — с тире."


def write(root, name, data):
    path = os.path.join(root, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make_tree(root):
    write(root, "contents.html", (
        '<html><head><meta http-equiv="Content-Type" content="text/html; charset=UTF-8">'
        "<title>%s</title></head><body><h1>%s</h1><p>%s</p>"
        '<p><a href="ru/second.html">Далее</a></p><p><img src="ru/images/note.png"></p>'
        "</body></html>" % (TITLE, TITLE, TEXT)).encode("utf-8"))
    write(root, "ru/second.html", (
        '<html><head><meta http-equiv="Content-Type" content="text/html; charset=koi8-r">'
        "<title>%s</title></head><body><p>%s</p>"
        '<p><a href="../contents.html">Назад</a> <a href="third.html">Ещё</a></p></body></html>'
        % (KOI_TITLE, KOI_TEXT)).encode("koi8-r"))
    write(root, "ru/third.html", (
        '<html><head><meta charset="windows-1251"><title>Третья</title></head>'
        "<body><p>%s</p></body></html>" % CP_TEXT).encode("cp1251"))
    # A PNG picture in the subfolder, as DocBook trees have them.
    write(root, "ru/images/note.png", png_pixel())


def png_pixel():
    """A 1 x 1 red PNG."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(b"\x00\xff\x00\x00\xff")) + chunk(b"IEND", b""))


def pack(v, tree):
    built = subprocess.run([os.path.join(window_tests.BIN, "kivpack"), "build", tree, "-o",
                            v.path("kivmap.hpm")], capture_output=True, text=True)
    check(built.returncode == 0, "packed without --substitute: " + built.stderr)
    check("substitut" not in built.stderr, "nothing substituted: " + built.stderr)
    check("converted from UTF-8 to windows-1251" in built.stderr, built.stderr)
    verified = subprocess.run([os.path.join(window_tests.BIN, "kivpack"), "verify",
                               v.path("kivmap.hpm")], capture_output=True, text=True)
    check(verified.returncode == 0, "verify: " + verified.stdout)


def copy_all(v, expected):
    """Copy All through the toolbar button, reached from the page backwards."""
    v.press("shift+Tab")
    v.press("shift+Tab")
    v.wait_state("on Copy", lambda s: s.get("focus") == "Copy All text to Clipboard")
    v.press("space")
    s = v.wait_state("Copy All", lambda s: expected in s["clipboard"])
    v.press("Tab")
    v.press("Tab")
    return s["clipboard"]


def case_russian_tree(v):
    tree = tempfile.mkdtemp(prefix="kivru-")
    try:
        make_tree(tree)
        pack(v, tree)
        s = v.start()
        s = v.wait_state("the Russian contents", lambda s: s["title"] == TITLE)
        check(s["caption"] == TITLE, "caption in Cyrillic: %r" % s["caption"])
        check(s["imagesSupplied"] >= 1, "the converted picture is supplied")
        v.press("ctrl+a")
        s = v.wait_state("all selected", lambda s: TEXT in s["selectedText"])
        copied = copy_all(v, TEXT)
        check(copied.startswith(TITLE), "Copy All from the top: %r" % copied[:60])

        # A link into the subfolder, declared KOI8-R: read in Cyrillic too.
        v.second("h", "ru/second.html", "")
        s = v.wait_state("the KOI8-R page", lambda s: s["title"] == KOI_TITLE)
        check(s["caption"] == KOI_TITLE, "caption: %r" % s["caption"])
        v.press("ctrl+a")
        v.wait_state("its text", lambda s: KOI_TEXT in s["selectedText"])
        v.second("h", "ru/third.html", "")
        v.wait_state("the Windows-1251 page", lambda s: s["title"] == "Третья")
        v.press("ctrl+a")
        v.wait_state("its text", lambda s: CP_TEXT in s["selectedText"])

        # The preview tells the same.
        text = subprocess.run([os.path.join(window_tests.BIN, "kivdump"), "text",
                               os.path.join(tree, "contents.html")], capture_output=True)
        check(text.returncode == 0, text.stderr.decode(errors="replace"))
        out = text.stdout.decode("utf-8")
        check(TITLE in out and TEXT in out, "kivdump text: %r" % out[:80])
        check(out.replace("\r\n", "\n").strip() == copied.replace("\r\n", "\n").strip(),
              "kivdump text is what Copy All copies: %r / %r" % (out[:60], copied[:60]))
    finally:
        shutil.rmtree(tree, ignore_errors=True)


if __name__ == "__main__":
    window_tests.main({k: f for k, f in window_tests.cases_of(globals()).items()
                       if f.__module__ == __name__})
