#!/usr/bin/env python3
"""Checks the bundled help in samples/help (or the folders given) before it is packed.

Reports, and exits with status 1 on, any of:
  - a file name with upper-case letters, spaces or commas, or a page not ending in .html;
  - a page above 128000 bytes (the viewer's page buffer), or a byte outside ASCII;
  - a tag or attribute name the engine does not know, or an unknown named entity;
  - an HREF naming a page that is not in the folder, or an anchor (#name) the target page
    does not define; an image map named by USEMAP that the page does not define;
  - an SRC naming a file that is not in the folder, or a picture the viewer cannot decode
    (anything but .gif, .jpg and .bmp);
  - an unclosed comment, a heading closed at another level, or a heading left open.
Also prints the size of every page, and checks that at least one page is above 60 KB so the
large-page path gets exercised.

Usage: samples/check_help.py [DIR ...]
"""
import os
import re
import sys

PAGE_LIMIT = 128000
BIG_PAGE = 60 * 1024

TAGS = set("""HTML TITLE BODY HEAD B I H EM STRONG U CITE VAR TT CODE KBD SAMP OL UL DIR MENU
DL A ADDRESS BLOCKQUOTE PRE CENTER TABLE TD TH CAPTION FORM TEXTAREA SELECT OPTION FONT SUB
SUP BIG SMALL P MAP FRAMESET NOFRAMES SCRIPT LI BR HR DD DT IMG BASE TR BUTTON INPUT SELECTED
BASEFONT AREA FRAME PAGE""".split())
ATTRS = set("""HREF NAME SRC ALT ALIGN TEXT BGCOLOR LINK BACKGROUND COLSPAN ROWSPAN BORDER
CELLPADDING CELLSPACING VALIGN WIDTH START VALUE TYPE CHECKBOX RADIO METHOD ACTION CHECKED SIZE
MAXLENGTH COLS ROWS MULTIPLE SELECTED FACE COLOR TRANSP CLEAR ISMAP BORDERCOLOR USEMAP SHAPE
COORDS NOHREF HEIGHT PLAIN TARGET NORESIZE SCROLLING HSPACE LANGUAGE""".split())
ENTITIES = set("""amp lt gt quot nbsp iexcl cent pound curren yen brvbar sect uml copy ordf laquo
not shy reg macr deg plusmn sup2 sup3 acute micro para middot cedil sup1 ordm raquo frac14
frac12 frac34 iquest Agrave Aacute Acirc Atilde Auml Aring AElig Ccedil Egrave Eacute Ecirc
Euml Igrave Iacute Icirc Iuml ETH Ntilde Ograve Oacute Ocirc Otilde Ouml Oslash Ugrave Uacute
Ucirc Uuml Yacute THORN szlig agrave aacute acirc atilde auml aring aelig ccedil egrave eacute
ecirc euml igrave iacute icirc iuml eth ntilde ograve oacute ocirc otilde ouml oslash ugrave
uacute ucirc uuml yacute thorn yuml""".split())
PICTURES = (".gif", ".jpg", ".bmp")

TAG_RE = re.compile(r"<(/?)([A-Za-z]+)([0-9]?)([^>]*)>")
ATTR_RE = re.compile(r"""([A-Za-z][A-Za-z0-9-]*)(\s*=\s*("[^"]*"|'[^']*'|[^\s>]+))?""")
ENTITY_RE = re.compile(r"&([A-Za-z][A-Za-z0-9]*);?")


def strip_comments(text, report):
    out, pos = [], 0
    while True:
        start = text.find("<!", pos)
        if start < 0:
            out.append(text[pos:])
            return "".join(out)
        out.append(text[pos:start])
        if text.startswith("<!--", start):
            end = text.find("-->", start + 4)
            if end < 0:
                report("comment never closed")
                return "".join(out)
            pos = end + 3
        else:
            end = text.find(">", start)
            if end < 0:
                report("declaration never closed")
                return "".join(out)
            pos = end + 1


def attributes(rest):
    found = []
    for m in ATTR_RE.finditer(rest):
        value = m.group(3)
        if value and value[0] in "\"'":
            value = value[1:-1]
        found.append((m.group(1).upper(), value))
    return found


def check_folder(root):
    problems = []
    files = {}
    for dirpath, _, names in os.walk(root):
        for name in names:
            full = os.path.join(dirpath, name)
            rel = os.path.relpath(full, root).replace(os.sep, "/")
            files[rel] = full
            if rel != rel.lower() or " " in rel or "," in rel:
                problems.append(f"{rel}: file names must be lower case, without spaces or commas")
            if not rel.endswith(".html") and not rel.lower().endswith(PICTURES):
                problems.append(f"{rel}: neither a page (.html) nor a picture the viewer shows")

    pages = sorted(n for n in files if n.endswith(".html"))
    if "contents.html" not in files:
        problems.append("contents.html is missing")

    anchors, maps, links, sources, usemaps = {}, {}, [], [], []
    sizes = {}
    for page in pages:
        data = open(files[page], "rb").read()
        sizes[page] = len(data)
        if len(data) > PAGE_LIMIT:
            problems.append(f"{page}: {len(data)} bytes, above {PAGE_LIMIT}")
        bad = [i for i, b in enumerate(data) if b > 127 or (b < 32 and b not in (9, 10, 13))]
        if bad:
            problems.append(f"{page}: byte {data[bad[0]]} at offset {bad[0]} is not plain ASCII text")
        text = data.decode("latin-1")

        def report(msg, page=page):
            problems.append(f"{page}: {msg}")

        text = strip_comments(text, report)
        anchors[page], maps[page] = set(), set()
        open_heading = None
        for m in TAG_RE.finditer(text):
            closing, name, digit, rest = m.group(1), m.group(2).upper(), m.group(3), m.group(4)
            line = text.count("\n", 0, m.start()) + 1
            if name not in TAGS:
                report(f"line {line}: unknown tag <{closing}{name}{digit}>")
                continue
            if name == "H":
                if not digit or digit not in "123456":
                    report(f"line {line}: heading level must be 1 to 6")
                elif closing:
                    if open_heading != digit:
                        report(f"line {line}: </H{digit}> closes heading level {open_heading}")
                    open_heading = None
                else:
                    if open_heading:
                        report(f"line {line}: <H{digit}> inside an open H{open_heading}")
                    open_heading = digit
            if closing:
                continue
            for attr, value in attributes(rest):
                if attr not in ATTRS:
                    report(f"line {line}: unknown attribute {attr} on <{name}>")
                    continue
                if value is None:
                    continue
                if attr == "NAME" and name == "A":
                    anchors[page].add(value.upper())
                elif attr == "NAME" and name == "MAP":
                    maps[page].add(value.upper())
                elif attr == "HREF" and name in ("A", "AREA"):
                    links.append((page, line, value))
                elif attr == "SRC" and name == "IMG":
                    sources.append((page, line, value))
                elif attr == "USEMAP":
                    usemaps.append((page, line, value.lstrip("#").upper()))
        if open_heading:
            report(f"heading H{open_heading} never closed")
        for m in ENTITY_RE.finditer(text):
            if m.group(1) not in ENTITIES:
                line = text.count("\n", 0, m.start()) + 1
                report(f"line {line}: unknown entity &{m.group(1)};")

    by_upper = {n.upper(): n for n in files}
    for page, line, href in links:
        target, _, anchor = href.partition("#")
        target_page = page if not target else by_upper.get(target.upper())
        if target_page is None or not target_page.endswith(".html"):
            problems.append(f"{page}: line {line}: link to missing page {href}")
            continue
        if anchor and anchor.upper() not in anchors.get(target_page, set()):
            problems.append(f"{page}: line {line}: link to missing anchor {href}")
    for page, line, src in sources:
        if src.upper() not in by_upper:
            problems.append(f"{page}: line {line}: picture {src} is not in the folder")
        elif not src.lower().endswith(PICTURES):
            problems.append(f"{page}: line {line}: picture {src} has a kind the viewer cannot show")
    for page, line, name in usemaps:
        if name not in maps[page]:
            problems.append(f"{page}: line {line}: USEMAP names map {name}, not defined on the page")

    for page in pages:
        print(f"{sizes[page]:8d}  {page}")
    if sizes and max(sizes.values()) <= BIG_PAGE:
        problems.append(f"no page above {BIG_PAGE} bytes")
    return problems


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folders = sys.argv[1:] or [os.path.join(here, "help")]
    problems = []
    for folder in folders:
        problems += check_folder(folder)
    for p in problems:
        print("problem:", p)
    print("ok" if not problems else f"{len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
