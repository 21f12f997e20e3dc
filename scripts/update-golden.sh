#!/usr/bin/env bash
# Renders the golden frames anew into tests/golden/ from the build in BUILD_DIR (default: build).
# Look at every changed picture before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake --build "$build_dir" -j2 --target test_golden assets >/dev/null
LUMIVANE_UPDATE_GOLDEN=1 LUMIVANE_BUILD_DIR="$PWD/$build_dir" "$build_dir/tests/test_golden" --gtest_brief=1
git status --short tests/golden/
