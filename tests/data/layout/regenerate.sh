#!/usr/bin/env bash
# Re-generates the expected layout dumps beside the pages of this folder:
# every page, or the pages named (as 25_preformatted, 25_preformatted.html or
# a path to the page). Review every changed line with `git diff` before
# committing it.
#   tests/data/layout/regenerate.sh [--build DIR] [PAGE ...]
# The build folder defaults to build/ at the top of the source tree; a first
# argument that is a build folder (holding bin/kivdump) is taken as one too.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$here/../../../build"
if [[ $# -ge 2 && $1 == --build ]]; then
  build=$2
  shift 2
elif [[ $# -ge 1 && -x $1/bin/kivdump ]]; then
  build=$1
  shift
fi
kivdump="$build/bin/kivdump"
[[ -x $kivdump ]] || { echo "no kivdump in $build/bin: build it first" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen

pages=()
if [[ $# -eq 0 ]]; then
  pages=("$here"/*.html)
else
  for name in "$@"; do
    stem=$(basename "$name")
    stem=${stem%.html}
    stem=${stem%.expected.jsonl}
    page="$here/$stem.html"
    [[ -f $page ]] || { echo "no page $stem.html in $here" >&2; exit 1; }
    pages+=("$page")
  done
fi
for page in "${pages[@]}"; do
  # A failed dump leaves the expectation as it was.
  out="${page%.html}.expected.jsonl"
  "$kivdump" sections "$page" --metrics fixed > "$out.new" || { rm -f "$out.new"; exit 1; }
  mv "$out.new" "$out"
done
echo "regenerated ${#pages[@]} expectation(s); review them with git diff"
