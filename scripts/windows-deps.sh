#!/usr/bin/env bash
# Builds zlib, libpng and SDL 1.2 for 32-bit Windows (mingw-w64, static) from Debian's source
# packages into a cache folder. Each library is built only when its cache entry is missing.
#   scripts/windows-deps.sh [CACHE_DIR]      (default: .cache/windows-deps under the repository)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cache="${1:-$root/.cache/windows-deps}"
prefix="$cache/i686"
host=i686-w64-mingw32
mkdir -p "$cache/src" "$prefix"
cache="$(cd "$cache" && pwd)"
prefix="$cache/i686"

# A private sources list with the deb-src line, so the system's own lists stay as they are.
apt_source() {
    local lists="$cache/apt/lists" list="$cache/apt/sources.list"
    mkdir -p "$lists/partial"
    if [ ! -f "$list" ]; then
        echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" >"$list"
    fi
    local opts=(-o Dir::Etc::sourcelist="$list" -o Dir::Etc::sourceparts=- -o Dir::State::Lists="$lists")
    if [ ! -f "$cache/apt/updated" ]; then
        apt-get "${opts[@]}" update -qq
        touch "$cache/apt/updated"
    fi
    (cd "$cache/src" && apt-get "${opts[@]}" source --download-only -qq "$1")
}

# Unpacks the Debian source package $1 (with its patches) and prints the folder.
unpack() {
    local dsc
    dsc=$(ls "$cache/src/$1"_*.dsc 2>/dev/null | head -n1 || true)
    if [ -z "$dsc" ]; then
        apt_source "$1" >&2
        dsc=$(ls "$cache/src/$1"_*.dsc | head -n1)
    fi
    local dir="$cache/src/build-$1"
    rm -rf "$dir"
    dpkg-source -x "$dsc" "$dir" >&2
    echo "$dir"
}

jobs=$(nproc)

if [ ! -f "$prefix/lib/libz.a" ]; then
    dir=$(unpack zlib)
    (cd "$dir" && CHOST=$host ./configure --prefix="$prefix" --static >/dev/null &&
        make -j"$jobs" >/dev/null && make install >/dev/null)
fi

if [ ! -f "$prefix/lib/libpng16.a" ]; then
    dir=$(unpack libpng1.6)
    (cd "$dir" && ./configure --host=$host --prefix="$prefix" --disable-shared \
        CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" >/dev/null &&
        make -j"$jobs" >/dev/null && make install >/dev/null)
fi

if [ ! -f "$prefix/lib/libSDL.a" ]; then
    dir=$(unpack libsdl1.2)
    # stdio stays on the console instead of stdout.txt; no pthreads DLL to ship.
    (cd "$dir" && ./configure --host=$host --prefix="$prefix" --disable-shared \
        --disable-stdio-redirect --disable-nasm --disable-pthreads >/dev/null &&
        make -j"$jobs" >/dev/null && make install >/dev/null)
fi

rm -rf "$cache"/src/build-*
echo "Windows libraries in $prefix"
