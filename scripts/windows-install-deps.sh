#!/usr/bin/env bash
# Installs the Debian packages of the Windows builds and their Wine tests: the mingw-w64 cross
# compilers (32- and 64-bit), NSIS, 64-bit Wine, the X test tools (with Xorg's dummy driver, whose
# two outputs Wine sees as two monitors), and 32-bit Wine (with the i386 architecture) only where
# this machine runs 32-bit programs (scripts/runs-32bit.sh): elsewhere it could not run anyway.
# Does nothing when all are there.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake dpkg-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 nsis googletest
  wine wine64 xvfb xauth x11-utils x11-xserver-utils xdotool imagemagick
  xserver-xorg-core xserver-xorg-video-dummy
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  # With recommends: Wine needs the Mesa and X libraries it only recommends.
  $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The probe is assembled with binutils, which build-essential has just brought.
if ! installed wine32:i386 && scripts/runs-32bit.sh >/dev/null; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq wine32:i386 >/dev/null
fi
