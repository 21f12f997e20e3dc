#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a plain build and one with
# AddressSanitizer + UndefinedBehaviorSanitizer. Starts its own X server; no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
display=:$((90 + RANDOM % 9))
# -noreset: the server otherwise restarts when its last client leaves and refuses the next one meanwhile.
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# The slow unwinder sees through the GL libraries (no frame pointers), so their leaks match lsan.supp.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:fast_unwind_on_malloc=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp

BUILD_DIR=build-test scripts/build.sh -DLUMIVANE_WERROR=ON
(cd build-test && ctest --output-on-failure -j2)

BUILD_DIR=build-asan scripts/build.sh -DLUMIVANE_WERROR=ON -DLUMIVANE_SANITIZE=ON -DLUMIVANE_BENCH=OFF
(cd build-asan && ctest --output-on-failure -j2)
