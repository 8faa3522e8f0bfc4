#!/usr/bin/env bash
# Fails when a source file includes a header from a higher layer. Layers, low
# to high: platform, imaging, reader, layout, builder, viewer, app.
set -u
root=${1:-.}
rank() {
  case "$1" in
    platform/*) echo 0 ;;
    imaging/*) echo 1 ;;
    builder/*) echo 4 ;;
    reader/*) echo 2 ;;
    layout/*) echo 3 ;;
    viewer/*) echo 5 ;;
    app/*) echo 6 ;;
    *) echo 9 ;;
  esac
}
bad=0
cd "$root/src" || exit 1
while IFS= read -r file; do
  own=$(rank "$file")
  while IFS= read -r inc; do
    [ -f "$inc" ] || continue
    theirs=$(rank "$inc")
    if [ "$theirs" -gt "$own" ]; then
      echo "layering: $file includes $inc from a higher layer"
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  # Only the platform layer talks to the toolkit.
  if [ "$own" -ge 1 ] && [ "$own" -le 4 ] && grep -q -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
    echo "layering: $file includes a toolkit header; the engine sees only the platform layer"
    bad=1
  fi
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||')
[ "$bad" -eq 0 ] && echo "layering: ok"
exit "$bad"
