#!/usr/bin/env bash
# Renders the contact sheet docs/screens.png from the build in BUILD_DIR (default: build): the same
# moment at 5:4, 4:3, 16:10 (top row), 16:9 and 21:9 (middle row), and a crop of a 3840x2160
# frame at 1:1 (the calendar's corner). Look at it before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake --build "$build_dir" -j2 --target screens assets >/dev/null
ASAN_OPTIONS=detect_leaks=0 "$build_dir/screens" "$build_dir" docs/screens.png
echo "wrote docs/screens.png"
