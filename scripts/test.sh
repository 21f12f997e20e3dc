#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a plain build and one with
# AddressSanitizer + UndefinedBehaviorSanitizer; between them the fuzzers, the Windows build
# under Wine and, where classic SDL 1.2 is installed, the whole-program tests once more on
# sdl12-compat. Starts its own X server; no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

source scripts/xvfb.bash
trap stop_xvfb EXIT
start_xvfb 90

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp

BUILD_DIR=build-test scripts/build.sh -DLUMIVANE_WERROR=ON

# Every parser's fuzzer, briefly: it must build with clang and survive its seeds and a few seconds.
FUZZ_KEEP_CORPUS=0 FUZZ_SECONDS=${FUZZ_SECONDS:-10} scripts/fuzz.sh

# The Windows build, cross-compiled and tested under Wine (uses the archives of build-test).
scripts/test-windows.sh

(cd build-test && ctest --output-on-failure -j2)

# The whole-program tests again, over the same binaries, on sdl12-compat: the SDL 1.2 of later
# releases, put in front of the classic library, not installed over it.
compat_status=0
compat=$(scripts/sdl12-compat-lib.sh) || compat_status=$?
if [ "$compat_status" -eq 0 ]; then
  echo "whole-program tests on sdl12-compat: $(LD_LIBRARY_PATH=$compat ldd build-test/Lumivane | grep -o 'libSDL-1.2.so.0 => [^ ]*')"
  # On an X server of its own: SDL2 takes the input focus and leaves it at None when its window
  # goes, and with no window manager to give it back, later tests' keys would reach nobody.
  (
    trap stop_xvfb EXIT
    start_xvfb 190
    cd build-test && LD_LIBRARY_PATH=$compat ctest --output-on-failure -j2 -R '^e2e_'
  )
elif [ "$compat_status" -eq 3 ]; then
  echo "whole-program tests on sdl12-compat: already run, the installed SDL 1.2 is sdl12-compat"
else
  exit "$compat_status"
fi

BUILD_DIR=build-asan scripts/build.sh -DLUMIVANE_WERROR=ON -DLUMIVANE_SANITIZE=ON -DLUMIVANE_BENCH=OFF
# Mesa's drivers are unloaded at eglTerminate and SDL_Quit; what they leave behind would then be
# reported with no library name for lsan.supp to match. Preloaded, they stay mapped to the end.
libs=/usr/lib/$(gcc -print-multiarch)
preload=""
for lib in "$libs/libEGL_mesa.so.0" "$libs/libGLX_mesa.so.0" "$libs/dri/swrast_dri.so"; do
  [ -f "$lib" ] && preload="$preload $lib"
done
(cd build-asan && LD_PRELOAD="${preload# }" ASAN_OPTIONS=$ASAN_OPTIONS:verify_asan_link_order=0 ctest --output-on-failure -j2)
