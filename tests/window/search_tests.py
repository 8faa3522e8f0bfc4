#!/usr/bin/env python3
"""Window tests of the whole-help search: results while typing, the results
page walked with the keys, a result opened at its section with its words in
the find bar."""
import os
import re
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_tests import *  # noqa: F401,F403
import window_tests


def find_count(s):
    m = re.match(r"^(\d+) of (\d+)\+?$", s["find"]["count"])
    return (int(m.group(1)), int(m.group(2))) if m else None


def case_type_walk_and_open(v):
    v.start()
    v.press("ctrl+k")
    v.wait_state("the search box focused", lambda s: s["searchFocused"])
    v.xdo("type", "--delay", "30", "find")
    s = v.wait_state("results while typing",
                     lambda s: s["history"][-1] == "search:find" and s["searchResults"])
    check(s["searchFocused"], "the box keeps the focus")
    entries = len(s["history"])
    v.xdo("type", "--delay", "30", " bar")
    s = v.wait_state("the results follow the text",
                     lambda s: s["history"][-1] == "search:find bar" and s["searchResults"])
    check(len(s["history"]) == entries, "typing more replaces the results: %s" % s["history"])
    results = s["searchResults"]
    check(len(results) >= 2, "several results: %s" % results)

    # Down moves into the results, Up and Down walk them.
    v.xdo("key", "Down")
    s = v.wait_state("the first result marked", lambda s: s["resultCursor"] == 0)
    check(s["selectedText"].startswith("1. "), "the first result selected: %r" % s["selectedText"])
    check(not s["searchFocused"], "the results have the focus")
    v.xdo("key", "Down")
    s = v.wait_state("the second result marked", lambda s: s["resultCursor"] == 1)
    check(s["selectedText"].startswith("2. "), "the second result: %r" % s["selectedText"])

    # Enter opens it at its section, the find bar counting the query's words.
    v.xdo("key", "Return")
    s = v.wait_state("the result opened", lambda s: s["history"][-1] == results[1])
    s = v.wait_state("the find bar counting", lambda s: s["find"]["visible"] and find_count(s))
    first, total = find_count(s)
    check(total >= 2, "several hits on the page: %s" % s["find"]["count"])
    check(s["selectedText"].lower() in ("find", "bar", "finding", "bars"),
          "a hit selected: %r" % s["selectedText"])
    v.press("F3")
    s = v.wait_state("F3 walks the hits", lambda s: find_count(s) and find_count(s)[0] != first)
    check(find_count(s)[0] == first % total + 1, "the next hit: %s" % s["find"]["count"])


def case_enter_opens_the_first_result(v):
    v.start()
    v.press("ctrl+k")
    v.wait_state("the search box focused", lambda s: s["searchFocused"])
    # Enter before the pause: the first result opens all the same.
    v.xdo("type", "--delay", "10", "\"font size\"")
    v.xdo("key", "Return")
    s = v.wait_state("the first result", lambda s: len(s["history"]) >= 3 and
                     s["history"][-2] == "search:\"font size\"")
    check(s["history"][-1] == s["searchResults"][0], "the first result: %s" % s["history"])
    s = v.wait_state("the find bar", lambda s: s["find"]["visible"] and find_count(s))
    check("font size" in s["find"]["text"], "the phrase found: %r" % s["find"]["text"])
    # Back shows the results again.
    v.click(101 + 12, 15)
    v.wait_state("back to the results", lambda s: s["title"] == "Search results")
    # A query of 500 words, and a quote alone, keep the window responsive.
    v.press("ctrl+k")
    v.wait_state("focused again", lambda s: s["searchFocused"])
    v.xdo("key", "ctrl+a")
    v.xdo("type", "--delay", "1", " ".join("w%d" % i for i in range(60)))
    v.wait_state("a long query searched",
                 lambda s: s["history"][s["historyIndex"]].startswith("search:w0 w1"))
    v.xdo("key", "ctrl+a")
    v.xdo("type", "\"")
    v.xdo("key", "Return")
    check(v.first.poll() is None, "still running")
    v.press("ctrl+k")
    v.wait_state("still answering", lambda s: s["searchFocused"])


def type_letters(v, text):
    """Types text a letter at a time: xdotool maps each letter outside the
    keyboard's layout to a spare key first, and a letter typed while the map
    changes can be lost, so a lost one is typed again."""
    typed = ""
    for letter in text:
        for attempt in range(3):
            v.xdo("type", letter)
            try:
                v.wait_state("typed " + typed + letter,
                             lambda s: s["searchText"] == typed + letter, timeout=2.0)
                break
            except Failure:
                check(v.state()["searchText"] == typed, "typed %r" % v.state()["searchText"])
        typed += letter
    check(v.state()["searchText"] == text, "typed %r" % v.state()["searchText"])


def case_cyrillic_query(v):
    """A query typed in Cyrillic capitals finds the Russian page that writes
    the word in small letters too, and opens it with both counted."""
    import charset_tests
    tree = tempfile.mkdtemp(prefix="kivru-")
    try:
        charset_tests.make_tree(tree)
        charset_tests.pack(v, tree)
        v.start()
        v.wait_state("the Russian contents", lambda s: s["title"] == charset_tests.TITLE)
        v.press("ctrl+k")
        v.wait_state("the search box focused", lambda s: s["searchFocused"])
        type_letters(v, "ЯЗЫК")
        s = v.wait_state("results while typing",
                         lambda s: s["history"][-1] == "search:ЯЗЫК" and s["searchResults"])
        check(s["searchResults"][0] == "contents.html", "the page found: %s" % s["searchResults"])
        v.xdo("key", "Return")
        s = v.wait_state("the result opened", lambda s: s["history"][-1] == "contents.html" and
                         s["find"]["visible"] and find_count(s))
        check(s["caption"] == charset_tests.TITLE, "caption in Cyrillic: %r" % s["caption"])
        check(find_count(s)[1] == 2, "both forms counted: %s" % s["find"]["count"])
        check(s["selectedText"] in ("ЯЗЫК", "язык"), "a hit selected: %r" % s["selectedText"])
    finally:
        shutil.rmtree(tree, ignore_errors=True)


if __name__ == "__main__":
    window_tests.main({k: f for k, f in window_tests.cases_of(globals()).items()
                       if f.__module__ == __name__})
