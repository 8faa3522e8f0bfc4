#!/usr/bin/env bash
# Installs what KivHelp needs to build, test and run on Debian 12 (as root).
# Installs only what is missing, so a second run is quick.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev  # ./test --sanitize builds with clang: its warnings and sanitizers
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  libjpeg-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-liberation fontconfig
  xvfb xdotool x11-utils
  x11-apps  # xwd: window tests grab the painted page from the virtual display
  libxrandr2  # window tests split the virtual display into two screens (RandR monitors)
  poppler-utils
  python3
  qt6-wayland       # the toolkit's Wayland platform plugin: the viewer on a Wayland desktop
  weston            # a headless Wayland compositor for the window tests
  dpkg-dev          # dpkg-shlibdeps: the Debian package's library dependencies
  file              # cpack -G DEB finds the executables to strip and scan with it
  lintian           # checks the Debian package
  xclip             # window tests read the clipboard the viewer fills
  dbus              # a private session bus for the screen-reader tests
  at-spi2-core      # the accessibility bus and registry screen readers use
  python3-pyatspi   # the screen-reader tests read the window through AT-SPI
  qt6-svg-dev                  # kivpack renders SVG pictures into ones the viewer shows
  qt6-image-formats-plugins    # kivpack reads WebP pictures
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]}" >&2
    echo "install-deps: run as root, or install them with apt-get" >&2
    exit 1
  fi
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
