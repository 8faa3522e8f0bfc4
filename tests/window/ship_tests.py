#!/usr/bin/env python3
"""The Debian package and the manual pages.

package: builds the .deb from this build (cpack), lints it, unpacks it with
dpkg-deb -x (nothing is installed on the machine) and runs the unpacked
viewer from a host's folder under the virtual display.
manual_pages: every option and command that --help lists is in the manual
page and the other way round; the pages carry the tools' version.
"""
import gzip
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_tests import *  # noqa: F401,F403  Display, Viewer, check, poll, Failure
import window_tests

BUILD = os.path.dirname(os.path.abspath(window_tests.BIN))


def run(*args, **kw):
    return subprocess.run(list(args), capture_output=True, text=True, **kw)


def version_of(tool):
    out = run(tool, "--version").stdout.strip()
    check(re.fullmatch(r"\S+ \(KivHelp\) \S+", out), "--version: %r" % out)
    return out.split()[-1]


def tree_is_dirty():
    """None outside a git checkout."""
    if not shutil.which("git") or run("git", "-C", window_tests.SRC, "rev-parse", "HEAD").returncode:
        return None
    run("git", "-C", window_tests.SRC, "update-index", "-q", "--refresh")
    return run("git", "-C", window_tests.SRC, "diff-index", "--quiet", "HEAD", "--").returncode != 0


def case_package(v):
    work = tempfile.mkdtemp(prefix="kivdeb-")
    try:
        made = run("cpack", "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"),
                   "-B", work, cwd=BUILD)
        check(made.returncode == 0, "cpack: " + made.stdout + made.stderr)
        debs = [f for f in os.listdir(work) if f.endswith(".deb")]
        check(len(debs) == 1, "one package: %s" % debs)
        deb = os.path.join(work, debs[0])
        field = lambda name: run("dpkg-deb", "-f", deb, name).stdout.strip()
        version, arch = field("Version"), run("dpkg", "--print-architecture").stdout.strip()
        check(debs[0] == "kivhelp_%s_%s.deb" % (version, arch), "file name " + debs[0])
        check(version == version_of(os.path.join(window_tests.BIN, "kivpack")),
              "package version %s is the tools'" % version)
        dirty = tree_is_dirty()
        if dirty is not None:
            check(version.endswith(".dirty") == dirty, "version %s, tree dirty: %s" % (version, dirty))
        depends = field("Depends")
        for needed in ["fonts-liberation", "qt6-wayland", "libqt6gui6", "libqt6widgets6", "libjpeg"]:
            check(needed in depends, "depends on %s: %s" % (needed, depends))

        lint = run("lintian", "--fail-on", "error", deb)
        check(lint.returncode == 0 and "\nE: " not in "\n" + lint.stdout,
              "lintian: " + lint.stdout + lint.stderr)

        root = os.path.join(work, "root")
        check(run("dpkg-deb", "-x", deb, root).returncode == 0, "dpkg-deb -x")
        usr = os.path.join(root, "usr")
        for tool in ["kivhelp", "kivpack", "kivdump"]:
            check(os.access(os.path.join(usr, "bin", tool), os.X_OK), tool + " in usr/bin")
            page = os.path.join(usr, "share/man/man1", tool + ".1.gz")
            with open(page, "rb") as f:
                head = f.read(10)
            # gzip -9n: no file name, no time stamp.
            check(head[3] & 0x08 == 0 and head[4:8] == b"\0\0\0\0", tool + ".1.gz made by gzip -n")
            with gzip.open(page, "rt") as f:
                check(('"KivHelp %s"' % version.split("+")[0]) in f.readline(), tool + ".1 version")
        doc = os.path.join(usr, "share/doc/kivhelp")
        check(sorted(os.listdir(doc)) == ["README.md.gz", "changelog.gz", "copyright"],
              "documentation: %s" % os.listdir(doc))
        with gzip.open(os.path.join(doc, "README.md.gz"), "rt") as f:
            check("Shipping KivHelp" in f.read(), "the README")

        # The unpacked tools: their version, and the help they pack.
        kivpack = os.path.join(usr, "bin", "kivpack")
        check(version_of(kivpack) == version and version_of(os.path.join(usr, "bin", "kivdump"))
              == version, "unpacked tools' version")
        os.remove(v.path("kivmap.hpm"))
        packed = run(kivpack, "build", os.path.join(window_tests.SRC, "samples/help"), "-o",
                     v.path("kivmap.hpm"))
        check(packed.returncode == 0, "unpacked kivpack: " + packed.stderr)

        # A host's folder as the README describes it: a copy of the viewer
        # beside the package. A symbolic link elsewhere runs the same viewer.
        shutil.copy2(os.path.join(usr, "bin", "kivhelp"), v.exe)
        s = v.start()
        check(s["caption"] == "KivHelp Contents", "the unpacked viewer shows the contents")
        link = os.path.join(v.root, "kivhelp-link")
        os.symlink(v.exe, link)
        # kivhelp takes no options: --version is a page kind like any other.
        p = subprocess.run([link, "--version", "using_viewer.html"], env=v.env,
                           capture_output=True, timeout=10)
        check(p.returncode == 0 and p.stdout == b"", "a second start through the link: %r" % (p,))
        s = v.wait_state("the handed-off page", lambda s: s["title"].endswith("Using the Viewer"))
        check(s["pid"] == v.first.pid, "the running viewer shows it")
        check(not os.path.exists(os.path.join(v.root, "message.$$$")), "link folder untouched")
    finally:
        shutil.rmtree(work, ignore_errors=True)


# --- manual pages ---------------------------------------------------------------------------

def unroff(text):
    return re.sub(r"\\f[BIRP]", "", text).replace("\\-", "-")


def man_sections(path):
    """{(SH title, SS first word or ''): [option words of its .TP tags]} of a page."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    sections, sh, ss = {}, "", ""
    for i, line in enumerate(lines):
        if line.startswith(".SH "):
            sh, ss = unroff(line[4:]).strip('"'), ""
            sections.setdefault((sh, ss), [])
        elif line.startswith(".SS "):
            ss = unroff(line[4:]).strip('"').split()[0]
            sections.setdefault((sh, ss), [])
        elif line == ".TP" and i + 1 < len(lines):
            tag = unroff(lines[i + 1])
            sections.setdefault((sh, ss), []).extend(
                re.findall(r"(?<![\w-])(--?[A-Za-z0-9][\w-]*)", tag) if tag.startswith("-") else [])
    return sections


def help_options(text):
    """The options of a --help text's "Options:" list."""
    found, inside = set(), False
    for line in text.splitlines():
        if line.strip() == "Options:":
            inside = True
        elif inside and not line.startswith(" "):
            inside = False
        elif inside and line.lstrip().startswith("-"):
            spec = line.strip().split("  ")[0]
            found.update(re.findall(r"(?<![\w-])(--?[A-Za-z0-9][\w-]*)", spec))
    return found


def help_commands(text):
    """First words of the lines under a line starting "Commands"."""
    lines = text.splitlines()
    start = next(i for i, line in enumerate(lines) if line.startswith("Commands"))
    names = []
    for line in lines[start + 1:]:
        if not line.startswith("  "):
            break
        if not line.startswith("   "):  # deeper lines continue a description
            names.append(line.split()[0])
    return names


def same(what, listed, documented):
    check(set(listed) == set(documented), "%s: --help lists %s, the manual page %s; missing from "
          "the page %s, not in --help %s" % (what, sorted(listed), sorted(documented),
                                             sorted(set(listed) - set(documented)),
                                             sorted(set(documented) - set(listed))))


def case_manual_pages(v):
    pages = os.path.join(BUILD, "doc", "man")
    tool = lambda name: os.path.join(window_tests.BIN, name)
    base = version_of(tool("kivpack")).split("+")[0]
    for name in ["kivhelp", "kivpack", "kivdump"]:
        with open(os.path.join(pages, name + ".1"), encoding="utf-8") as f:
            th = f.readline()
        check(th.startswith(".TH %s 1 " % name.upper()) and ('"KivHelp %s"' % base) in th,
              name + ".1 header: " + th)
        if shutil.which("man"):
            shown = run("man", "--warnings", "-l", os.path.join(pages, name + ".1"),
                        env=dict(os.environ, MANWIDTH="80", LANG="C.UTF-8"))
            check(shown.returncode == 0 and not shown.stderr.strip(), name + ".1: " + shown.stderr)

    # kivpack: one set of options for every command.
    page = man_sections(os.path.join(pages, "kivpack.1"))
    text = run(tool("kivpack"), "--help").stdout
    same("kivpack options", help_options(text), sum(page.values(), []))
    same("kivpack commands", help_commands(text),
         [ss for (sh, ss) in page if sh == "COMMANDS" and ss])

    # kivdump: the tool's own options, and each command's with them.
    page = man_sections(os.path.join(pages, "kivdump.1"))
    text = run(tool("kivdump"), "--help").stdout
    common = page.get(("OPTIONS", ""), [])
    same("kivdump options", help_options(text), common)
    commands = help_commands(text)
    same("kivdump commands", commands, [ss for (sh, ss) in page if sh == "COMMANDS" and ss])
    for command in commands:
        same("kivdump %s options" % command,
             help_options(run(tool("kivdump"), command, "--help").stdout),
             page.get(("COMMANDS", command), []) + common)

    # kivhelp takes three arguments and no options.
    page = man_sections(os.path.join(pages, "kivhelp.1"))
    check(("OPTIONS", "") not in page, "kivhelp.1 has no options")
    for (sh, _), options in page.items():
        check(sh == "ENVIRONMENT" or not options, "kivhelp.1 %s lists options %s" % (sh, options))


if __name__ == "__main__":
    window_tests.main({k: f for k, f in window_tests.cases_of(globals()).items()
                       if f.__module__ == __name__})
