#!/usr/bin/env bash
# Builds zlib, libpng and SDL 1.2 for Windows (mingw-w64, static) from Debian's source packages
# into a cache folder, one prefix for each processor; the sources are fetched once for both.
# Each library is built only when its cache entry is missing.
#   [WINDOWS_ARCH=i686|x86_64] scripts/windows-deps.sh [CACHE_DIR]
#   (32-bit by default; CACHE_DIR defaults to .cache/windows-deps under the repository)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
arch=${WINDOWS_ARCH:-i686}
case $arch in
i686 | x86_64) ;;
*)
    echo "windows-deps.sh: WINDOWS_ARCH must be i686 or x86_64, not '$arch'" >&2
    exit 2
    ;;
esac
cache="${1:-$root/.cache/windows-deps}"
host=$arch-w64-mingw32
mkdir -p "$cache/src" "$cache/$arch"
cache="$(cd "$cache" && pwd)"
prefix="$cache/$arch"

# A private sources list with the deb-src line, so the system's own lists stay as they are.
# Always bookworm's: classic SDL 1.2 has no source package in later releases.
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

log="$cache/build-$arch.log"
: >"$log"

# Unpacks the Debian source package $1 (with its patches) and prints the folder. apt has already
# checked the files against the archive's signed index; dpkg-source only warns that it has no key.
unpack() {
    local dsc
    dsc=$(ls "$cache/src/$1"_*.dsc 2>/dev/null | head -n1 || true)
    if [ -z "$dsc" ]; then
        apt_source "$1" >>"$log" 2>&1
        dsc=$(ls "$cache/src/$1"_*.dsc | head -n1)
    fi
    local dir="$cache/src/build-$arch-$1"
    rm -rf "$dir"
    dpkg-source -x "$dsc" "$dir" >>"$log" 2>&1
    echo "$dir"
}

# build NAME COMMAND...: runs the build commands in the unpacked folder, output in the log.
build() {
    local name=$1
    shift
    echo "building $name for Windows ($arch)"
    if ! (cd "$(unpack "$name")" && "$@") >>"$log" 2>&1; then
        tail -n 30 "$log"
        echo "building $name failed; the whole log is $log" >&2
        exit 1
    fi
}

jobs=$(nproc)

if [ ! -f "$prefix/lib/libz.a" ]; then
    build zlib sh -c "CHOST=$host ./configure --prefix='$prefix' --static && make -j$jobs && make install"
fi

if [ ! -f "$prefix/lib/libpng16.a" ]; then
    build libpng1.6 sh -c "./configure --host=$host --prefix='$prefix' --disable-shared \
        CPPFLAGS=-I'$prefix/include' LDFLAGS=-L'$prefix/lib' && make -j$jobs && make install"
fi

if [ ! -f "$prefix/lib/libSDL.a" ]; then
    # stdio stays on the console instead of stdout.txt; no pthreads DLL to ship.
    build libsdl1.2 sh -c "./configure --host=$host --prefix='$prefix' --disable-shared \
        --disable-stdio-redirect --disable-nasm --disable-pthreads && make -j$jobs && make install"
fi

rm -rf "$cache/src/build-$arch-"*
echo "Windows libraries in $prefix"
