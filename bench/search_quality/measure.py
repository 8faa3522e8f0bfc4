#!/usr/bin/env python3
"""Search quality on real manuals: runs each query of queries.tsv through
`kivdump search` and reports how often the first result, and one of the
first three, is a page judged right.

    bench/search_quality/measure.py build/bin/kivdump \\
        postgresql=/tmp/pg.hpm git=/tmp/git.hpm [--other CMD] [--verbose]

Each MANUAL=PACKAGE names the package a manual's queries run on. --other
names a program run as `CMD PACKAGE QUERY` that prints ranked page names one
a line (another ranking to compare with, in the same table).
"""
import argparse
import json
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def read_queries(path):
    queries = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            manual, query, right = line.split("\t")
            queries.append((manual, query, set(right.split())))
    return queries


def kivdump_pages(kivdump, package, query):
    out = subprocess.run([kivdump, "search", package, query, "--limit", "3"],
                         capture_output=True, text=True, check=True).stdout
    return [json.loads(line)["page"] for line in out.splitlines() if line.strip()]


def other_pages(command, package, query):
    out = subprocess.run(command.split() + [package, query], capture_output=True, text=True,
                         check=True).stdout
    return [line.strip() for line in out.splitlines() if line.strip()][:3]


def measure(name, ranker, queries, packages, verbose):
    per_manual = {}
    for manual, query, right in queries:
        pages = ranker(packages[manual], query)
        rank = next((i + 1 for i, p in enumerate(pages) if p.lower() in
                     {r.lower() for r in right}), None)
        counts = per_manual.setdefault(manual, [0, 0, 0])
        counts[0] += rank == 1
        counts[1] += rank is not None and rank <= 3
        counts[2] += 1
        if verbose:
            print("%-6s %-10s %-40s %s" % (name, manual, query,
                                          rank if rank else "miss: " + " ".join(pages)))
    total = [sum(c[i] for c in per_manual.values()) for i in range(3)]
    for manual, (t1, t3, n) in sorted(per_manual.items()) + [("all", total)]:
        print("%-6s %-10s queries %3d  top-1 %5.1f %%  top-3 %5.1f %%" %
              (name, manual, n, 100.0 * t1 / n, 100.0 * t3 / n))
    return total


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("kivdump")
    parser.add_argument("packages", nargs="+", help="MANUAL=PACKAGE")
    parser.add_argument("--queries", default=os.path.join(HERE, "queries.tsv"))
    parser.add_argument("--other", help="another ranking: CMD PACKAGE QUERY")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    packages = dict(p.split("=", 1) for p in args.packages)
    queries = [q for q in read_queries(args.queries) if q[0] in packages]
    if not queries:
        sys.exit("no queries for the manuals given")
    measure("kiv", lambda pkg, q: kivdump_pages(args.kivdump, pkg, q), queries, packages,
            args.verbose)
    if args.other:
        measure("other", lambda pkg, q: other_pages(args.other, pkg, q), queries, packages,
                args.verbose)


if __name__ == "__main__":
    main()
