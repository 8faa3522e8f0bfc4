#!/usr/bin/env bash
# Re-generates the expected layout dumps beside each page of this folder.
# Review every changed line with `git diff` before committing it.
#   tests/data/layout/regenerate.sh [build-dir]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-"$here/../../../build"}
export QT_QPA_PLATFORM=offscreen
for page in "$here"/*.html; do
  "$build/bin/kivdump" sections "$page" --metrics fixed > "${page%.html}.expected.jsonl"
done
echo "regenerated $(ls "$here"/*.html | wc -l) expectations; review them with git diff"
