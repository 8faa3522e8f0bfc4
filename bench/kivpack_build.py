#!/usr/bin/env python3
"""Times `kivpack build --split` on a generated tree shaped like a large manual.

The tree holds 1200 pages and about 18 MB: most pages of 10 to 20 KB with
headings, paragraphs, lists, tables and preformatted text, linking to each
other's anchors, and a few pages over the 128000-byte page buffer (up to
444 KB, one a single long table, one a single long definition list) that
the build cuts into parts. Prints the median wall time of the runs.

    bench/kivpack_build.py build/bin/kivpack [--runs 5] [--keep DIR]
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

PAGES = 1200
WORDS = ("the server configuration parameter table index query value option "
         "returns function column setting file default client").split()


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


def page(title, body):
    return (f'<html><head><title>{title}</title><meta http-equiv="Content-Type" '
            f'content="text/html; charset=windows-1252"></head><body>\n{body}\n</body></html>\n')


def make_tree(root, rng):
    names = [f"page-{i:04d}.html" for i in range(PAGES)]
    # Anchor links go to s1..s6, which every page has.
    links = [f"{rng.choice(names)}#s{rng.randint(1, 6)}" for _ in range(400)]
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
                parts.append(section(rng, name, i, links))
                i += 1
            body = "\n".join(parts)
        data = page(name, body).encode("cp1252")
        with open(os.path.join(root, name), "wb") as f:
            f.write(data)
        total += len(data)
    # Links into the cut pages' later anchors.
    with open(os.path.join(root, "index.html"), "wb") as f:
        f.write(page("Index", " ".join(
            f'<a href="{names[30]}#r{i}">r{i}</a>' for i in range(0, 3000, 100))).encode())
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
            r = subprocess.run([args.kivpack, "build", root, "-o", out, "--split"],
                               capture_output=True, text=True)
            times.append(time.perf_counter() - t)
            if r.returncode != 0:
                sys.exit("kivpack build failed:\n" + r.stderr[-2000:])
        print(r.stdout.splitlines()[-2] if len(r.stdout.splitlines()) > 1 else r.stdout)
        print(f"kivpack build --split: median {statistics.median(times):.2f} s "
              f"(min {min(times):.2f}, max {max(times):.2f}, {args.runs} runs)")
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
