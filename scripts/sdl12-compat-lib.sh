#!/usr/bin/env bash
# Unpacks sdl12-compat (the SDL 1.2 API over SDL2, the SDL 1.2 of later Debian releases) into
# build-compat/ without installing it over the classic library, and prints the folder that holds
# its libSDL-1.2.so.0, for LD_LIBRARY_PATH. Installs SDL2 itself, which it needs. Where the
# installed SDL 1.2 already is sdl12-compat it prints nothing and exits 3: there is no other
# library to try.
set -euo pipefail
cd "$(dirname "$0")/.."
# Debian 13's libsdl1.2debian is built from sdl12-compat itself; a libsdl1.2-compat installed by
# hand would be too.
installed=$(dpkg-query -W -f='${db:Status-Status} ${source:Package}\n' libsdl1.2debian libsdl1.2-compat 2>/dev/null || true)
if grep -qx 'installed sdl12-compat' <<<"$installed"; then
  exit 3
fi
scripts/install-deps.sh libsdl2-2.0-0 >&2
folder=$PWD/build-compat
lib=$folder/usr/lib/$(gcc -print-multiarch)/sdl12-compat
if [ ! -e "$lib/libSDL-1.2.so.0" ]; then
  rm -rf "$folder" && mkdir -p "$folder/download"
  (cd "$folder/download" && apt-get download libsdl1.2-compat >&2)
  dpkg-deb -x "$folder"/download/libsdl1.2-compat_*.deb "$folder"
fi
[ -e "$lib/libSDL-1.2.so.0" ] || { echo "sdl12-compat-lib: no libSDL-1.2.so.0 in $lib" >&2; exit 1; }
echo "$lib"
