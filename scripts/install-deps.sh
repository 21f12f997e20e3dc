#!/usr/bin/env bash
# Installs every Debian package Lumivane needs to build, run and test. Safe to run again.
#   scripts/install-deps.sh [PACKAGE...]    with names, only those (the scripts' own tools)
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake git pkg-config ca-certificates clang libclang-rt-dev
  # the screensaver: SDL 1.2 (classic on Debian 12, sdl12-compat on 13), SDL_image, Mesa GL/GLU/EGL, X11
  libsdl1.2-dev libsdl-image1.2-dev libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libx11-dev libxrandr-dev
  # Wayland: the client library with its EGL window, wayland-scanner for the protocols' code, their XML
  libwayland-dev libwayland-bin wayland-protocols
  # the asset builder: PNG pictures and text drawn from DejaVu fonts
  libpng-dev libfreetype-dev fonts-dejavu-core fonts-dejavu-extra
  # tests and benchmarks
  libgtest-dev googletest libbenchmark-dev xvfb xauth x11-utils x11-xserver-utils xdotool imagemagick faketime procps
  # the Wayland tests: sway's headless backend with a background and a window to cover, screenshots, keys
  sway swaybg weston grim wtype util-linux
)

if [ $# -gt 0 ]; then packages=("$@"); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
