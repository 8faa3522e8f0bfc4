#!/usr/bin/env bash
# Builds the Debian package of KivHelp from this tree: a Release build (-O3,
# warnings as errors) of the viewer and the tools in build-release/, then
# cpack -G DEB, then lintian, which must report no error. Prints the path of
# build-release/kivhelp_VERSION_ARCH.deb. KIV_RELEASE_DIR picks another folder.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
dir=${KIV_RELEASE_DIR:-build-release}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIV_TESTS=OFF -DKIV_BENCH=OFF \
  -DKIV_WERROR=ON "$@"
cmake --build "$dir"
rm -f "$dir"/kivhelp_*.deb
(cd "$dir" && cpack -G DEB)
deb=$(ls "$dir"/kivhelp_*.deb)
# lintian exits non-zero on an error; warnings and notes are shown too.
lintian --fail-on error "$deb"
echo "$deb"
