#!/usr/bin/env python3
"""Times `kivpack build --split` on a generated tree shaped like a large manual.

The tree holds 1200 pages and about 18 MB: most pages of 10 to 20 KB with
headings, paragraphs, lists, tables and preformatted text, linking to each
other's anchors, and a few pages over the 128000-byte page buffer (up to
444 KB, one a single long table, one a single long definition list) that
the build cuts into parts. As generated manuals are, a fifth of the pages
are written in UTF-8 (half of them in Russian, half with arrows the build
substitutes), a tenth lie in a subfolder linking their neighbours relative
to it, and pages show 30 PNG pictures the build converts. Packed with
--split --substitute; prints the median wall time of the runs.

    bench/kivpack_build.py build/bin/kivpack [--runs 5] [--keep DIR]
"""
import argparse
import os
import random
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zlib

PAGES = 1200
WORDS = ("the server configuration parameter table index query value option "
         "returns function column setting file default client").split()
RUSSIAN = ("сервер параметр таблица индекс запрос значение функция столбец файл "
           "клиент настройка").split()
PICTURES = 30


def text(rng, n):
    return " ".join(rng.choice(WORDS) for _ in range(n))


def section(rng, page, i, links):
    out = [f'<div class="sect2" id="{page}-s{i}"><h2 class="title"><a name="s{i}"></a>'
           f'{i}. {text(rng, 4)}</h2>']
    for _ in range(rng.randint(2, 5)):
        target = rng.choice(links)
        out.append(f"<p>{text(rng, 60)} <a href=\"{target}\">{text(rng, 2)}</a> "
                   f"<code>{text(rng, 1)}</code> &mdash; {text(rng, 30)}.</p>")
    kind = rng.randrange(3)
    if kind == 0:
        out.append("<ul>" + "".join(f"<li><p>{text(rng, 20)}</p></li>" for _ in range(5)) + "</ul>")
    elif kind == 1:
        out.append('<table border="1"><tr><th>Name</th><th>Meaning</th></tr>' +
                   "".join(f"<tr><td>{text(rng, 2)}</td><td>{text(rng, 15)}</td></tr>"
                           for _ in range(5)) + "</table>")
    else:
        out.append("<pre class=\"programlisting\">" +
                   "\n".join(text(rng, 8) for _ in range(8)) + "</pre>")
    out.append("</div>")
    return "\n".join(out)


def page(title, body, charset="windows-1252"):
    return (f'<html><head><title>{title}</title><meta http-equiv="Content-Type" '
            f'content="text/html; charset={charset}"></head><body>\n{body}\n</body></html>\n')


def png(n):
    """A 120 x 80 picture of a few colours, as a PNG."""
    rows = b"".join(b"\x00" + b"".join(bytes((255, 255, 255)) if (x + y + n) % 7 else
                                       bytes((0, 0, 128)) for x in range(120)) for y in range(80))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 120, 80, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def relative(name, target):
    """target as the page name links it, relative to the page's folder."""
    if "/" in name and "/" not in target:
        return "../" + target
    if "/" in name and target.startswith("ref/"):
        return target[4:]
    return target


def make_tree(root, rng):
    # Every tenth page (but the big ones) lies in ref/.
    names = [f"ref/page-{i:04d}.html" if i % 10 == 5 else f"page-{i:04d}.html"
             for i in range(PAGES)]
    os.makedirs(os.path.join(root, "ref"), exist_ok=True)
    os.makedirs(os.path.join(root, "images"), exist_ok=True)
    for n in range(PICTURES):
        with open(os.path.join(root, "images", f"fig{n}.png"), "wb") as f:
            f.write(png(n))
    # Anchor links go to s1..s6, which every page of sections has
    # (the long table and list have no sections).
    sectioned = [n for n in names if n not in (names[30], names[40])]
    links = [f"{rng.choice(sectioned)}#s{rng.randint(1, 6)}" for _ in range(400)]
    big = {names[10]: 444000, names[20]: 300000, names[30]: 200000, names[40]: 160000}
    total = 0
    for name in names:
        size = big.get(name, rng.randint(9000, 16000))
        if name == names[30]:  # one long table
            rows = []
            while sum(map(len, rows)) < size:
                rows.append(f"<tr><td><a name=\"r{len(rows)}\">{text(rng, 2)}</a></td>"
                            f"<td>{text(rng, 25)}</td></tr>\n")
            body = '<table border="1">\n' + "".join(rows) + "</table>"
        elif name == names[40]:  # one long definition list
            items = []
            while sum(map(len, items)) < size:
                items.append(f"<dt><a name=\"d{len(items)}\">{text(rng, 2)}</a></dt>"
                             f"<dd><p>{text(rng, 40)}</p></dd>\n")
            body = "<dl>\n" + "".join(items) + "</dl>"
        else:
            parts, i = [], 1
            while sum(map(len, parts)) < size:
                parts.append(section(rng, name, i, [relative(name, t) for t in links]))
                i += 1
            figure = relative(name, f"images/fig{rng.randrange(PICTURES)}.png")
            body = f'<p><img src="{figure}" alt="figure"></p>\n' + "\n".join(parts)
        number = int(name[-9:-5])
        if number % 10 == 3:  # Russian, in UTF-8
            body = body.replace("the ", " ".join(rng.choice(RUSSIAN) for _ in range(2)) + " ")
            data = page(name, body, "utf-8").encode("utf-8")
        elif number % 10 == 7:  # UTF-8 with arrows and non-breaking spaces
            data = page(name, body.replace(" &mdash; ", "\u00a0\u2192 "), "utf-8").encode("utf-8")
        else:
            data = page(name, body).encode("cp1252")
        with open(os.path.join(root, name), "wb") as f:
            f.write(data)
        total += len(data)
    # Links into the cut pages' later anchors.
    with open(os.path.join(root, "index.html"), "wb") as f:
        f.write(page("Index", " ".join(
            f'<a href="{names[30]}#r{i}">r{i}</a>' for i in range(0, 800, 50))).encode())
    return total


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("kivpack")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--keep", help="write the tree here and keep it")
    args = ap.parse_args()
    tmp = tempfile.mkdtemp(prefix="kivpack-bench-")
    root = args.keep or os.path.join(tmp, "tree")
    os.makedirs(root, exist_ok=True)
    try:
        total = make_tree(root, random.Random(26))
        print(f"tree: {PAGES + 1} pages, {total / 1e6:.1f} MB")
        times = []
        for _ in range(args.runs):
            out = os.path.join(tmp, "kivmap.hpm")
            t = time.perf_counter()
            r = subprocess.run([args.kivpack, "build", root, "-o", out, "--split", "--substitute"],
                               capture_output=True, text=True)
            times.append(time.perf_counter() - t)
            if r.returncode != 0:
                sys.exit("kivpack build failed:\n" + r.stderr[-2000:])
        print(r.stdout.splitlines()[-2] if len(r.stdout.splitlines()) > 1 else r.stdout)
        print(f"kivpack build --split --substitute: median {statistics.median(times):.2f} s "
              f"(min {min(times):.2f}, max {max(times):.2f}, {args.runs} runs)")
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
