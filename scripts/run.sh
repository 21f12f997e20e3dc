#!/usr/bin/env bash
# Installs what is missing, builds, and starts the screensaver on the current display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec ./build/Lumivane "$@"
