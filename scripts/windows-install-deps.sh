#!/usr/bin/env bash
# Installs the Debian packages of the Windows build and its Wine tests: the mingw-w64 cross
# compiler, NSIS, 32-bit Wine (i386 architecture), the X test tools. Does nothing when all are there.
set -euo pipefail

packages=(
  build-essential cmake dpkg-dev g++-mingw-w64-i686 nsis googletest
  wine wine32:i386 xvfb xauth x11-utils xdotool imagemagick
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
updated=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    $SUDO apt-get update -qq
    updated=1
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
[ "$updated" = 1 ] || $SUDO apt-get update -qq
# With recommends: 32-bit Wine needs the i386 Mesa and X libraries it only recommends.
$SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
