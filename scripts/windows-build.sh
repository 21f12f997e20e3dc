#!/usr/bin/env bash
# Cross-builds Lumivane for Windows and packs its installer: 32-bit into build-win with
# Lumivane-setup.exe, or with WINDOWS_ARCH=x86_64 64-bit into build-win64 with
# Lumivane-setup-x64.exe (BUILD_DIR names another folder). The archives and preview.ppk are the
# native build's (the same bytes on every platform): taken from NATIVE_BUILD_DIR (default
# build-test), built there first when missing.
#   [WINDOWS_ARCH=i686|x86_64] scripts/windows-build.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
arch=${WINDOWS_ARCH:-i686}
case $arch in
i686)
    build=${BUILD_DIR:-build-win}
    installer=Lumivane-setup.exe
    nsis_target=()
    ;;
x86_64)
    build=${BUILD_DIR:-build-win64}
    installer=Lumivane-setup-x64.exe
    nsis_target=(-DWIN64)
    ;;
*)
    echo "windows-build.sh: WINDOWS_ARCH must be i686 or x86_64, not '$arch'" >&2
    exit 2
    ;;
esac
export WINDOWS_ARCH=$arch
native=${NATIVE_BUILD_DIR:-build-test}
archives="main.pak clock.pak calendar.pak utils.pak debug.pak"

scripts/windows-install-deps.sh
scripts/windows-deps.sh >/dev/null

# First the native build's drawings: the programs' resources take its icon.
missing=0
for file in $archives preview.ppk lumivane.ico; do [ -f "$native/$file" ] || missing=1; done
if [ "$missing" = 1 ]; then
    scripts/install-deps.sh
    cmake -S . -B "$native" -DLUMIVANE_WERROR=ON >/dev/null
    targets=(--target assets)
    [ -f tools/preview_picture/CMakeLists.txt ] && targets+=(--target preview_ppk)
    cmake --build "$native" -j"$(nproc)" "${targets[@]}" >/dev/null
fi

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DLUMIVANE_WERROR=ON -DLUMIVANE_BENCH=OFF -DLUMIVANE_ICON="$root/$native/lumivane.ico" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

for file in $archives lumivane.ico; do cp "$native/$file" "$build/"; done
if [ -f "$native/preview.ppk" ]; then
    cp "$native/preview.ppk" "$build/"
else
    # No preview picture from the native build: a plain 24-bit one stands in.
    convert -size 152x112 gradient:navy-orange -type TrueColor "bmp3:$build/preview.ppk"
fi

makensis -V2 "${nsis_target[@]}" -DBUILD_DIR="$root/$build" -DOUT_FILE="$root/$build/$installer" \
    installer/lumivane.nsi
echo "Windows ($arch) build in $build; installer $build/$installer"
