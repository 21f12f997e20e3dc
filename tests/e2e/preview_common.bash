# Shared by the preview_*.sh and xscreensaver_*.sh tests: the xparent host window, its pictures
# and the saver's end. Sourced, not run.
set -euo pipefail
[ -n "${DISPLAY:-}" ] || { echo "skipped: no DISPLAY (scripts/test.sh starts an X server)"; exit 77; }
build=${LUMIVANE_BUILD_DIR:?LUMIVANE_BUILD_DIR is not set}
for tool in convert compare; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool (ImageMagick)"; exit 77; }
done
for needed in Lumivane tests/xparent preview.ppk main.pak; do
  [ -e "$build/$needed" ] || { echo "missing $build/$needed"; exit 1; }
done

source "$(dirname "${BASH_SOURCE[0]}")/wait_common.bash"
scale_time "$build/Lumivane" # exported: xparent stretches its own deadlines by it too
work=$(mktemp -d -t lumivane-preview-XXXXXX)
# Programs a test starts in the background; whatever still runs of them is ended on the way out.
background=()
cleanup() {
  local pid
  for pid in "${background[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
export LUMIVANE_PATH=$build/ LUMIVANE_DATA=$work/data
# Under the sanitizers the host helper's own Xlib leftovers are not what is being tested.
xparent_asan=${ASAN_OPTIONS:-}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# host [xparent options] WxH NAME PROGRAM ARGS...: runs PROGRAM in a host window; the window's
# picture goes to $work/NAME.ppm and xparent's "status=N ms=T others=W" line into $status, $ms
# and $others.
status=""
ms=""
others=""
host() {
  local options=()
  while [ "${1#--}" != "$1" ]; do
    if [ "$1" = --env ]; then
      options+=("$1")
      shift
    else
      options+=("$1" "$2")
      shift 2
    fi
  done
  local size=$1 name=$2
  shift 2
  local line
  line=$(ASAN_OPTIONS=$xparent_asan "$build/tests/xparent" "${options[@]}" "$size" "$work/$name.ppm" "$@") ||
    fail "$name: host helper: ${line:-no output}"
  status=$(echo "$line" | sed -n 's/^status=\([^ ]*\) .*/\1/p')
  ms=$(echo "$line" | sed -n 's/.* ms=\([^ ]*\).*/\1/p')
  others=$(echo "$line" | sed -n 's/.* others=\([^ ]*\).*/\1/p')
}

# brightest NAME [GEOMETRY]: the largest channel value (0..1) in the picture or a region of it.
brightest() {
  convert "$work/$1.ppm" ${2:+-crop "$2" +repage} -format "%[fx:maxima]" info:
}

# differing A B: pixels that differ at all between two pictures (files ImageMagick reads).
differing() {
  compare -metric AE "$1" "$2" null: 2>&1 || true
}
