#!/usr/bin/env bash
# Fails when two headers of the program and its tools define a class or
# struct of the same name. Everything lives in namespace kiv and the tools
# link the program's libraries, so two such types break the one-definition
# rule: the linker keeps one type's inline members (constructors,
# destructors, vector growth) for both, and objects of the other are copied
# or destroyed with the wrong layout.
set -u
root=${1:-.}
cd "$root" || exit 1
dupes=$(find src tools -name '*.h' -print0 |
  xargs -0 grep -HoE '^(struct|class) [A-Za-z_][A-Za-z0-9_]*( final)?( *: *[^: ].*| *\{.*)?$' |
  sed -E 's/^([^:]*):(struct|class) ([A-Za-z0-9_]*).*/\3 \1/' |
  sort | awk '{ files[$1] = files[$1] " " $2; n[$1]++ } END { for (t in n) if (n[t] > 1) print t ":" files[t] }')
if [ -n "$dupes" ]; then
  echo "type names defined twice (rename one):"
  echo "$dupes"
  exit 1
fi
echo "type names: each defined once"
