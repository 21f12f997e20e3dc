# Shared by the shell_*.sh whole-program tests: a private data folder, the saver started in the
# background, and waits for its window and its end. Sourced, not run.
set -euo pipefail

build=${LUMIVANE_BUILD_DIR:?LUMIVANE_BUILD_DIR is not set}
if [ -z "${DISPLAY:-}" ] && [ -z "${SHELL_TEST_NO_DISPLAY:-}" ]; then
  echo "skipped: no DISPLAY (scripts/test.sh starts an X server)"
  exit 77
fi

source "$(dirname "${BASH_SOURCE[0]}")/wait_common.bash"
scale_time "$build/Lumivane"
work=$(mktemp -d -t lumivane-e2e-XXXXXX)
export LUMIVANE_DATA=$work/data
export LUMIVANE_PATH=$build
saver_pid=""
cleanup() {
  if [ -n "$saver_pid" ] && kill -0 "$saver_pid" 2>/dev/null; then kill -KILL "$saver_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/saver.log" ] && sed 's/^/  saver: /' "$work/saver.log" >&2
  exit 1
}

# The full run loads its archives from the installation folder; the asset build puts them there.
need_archives() {
  for pak in main.pak clock.pak calendar.pak utils.pak; do
    if [ ! -f "$build/$pak" ]; then
      echo "skipped: $build/$pak has not been built"
      exit 77
    fi
  done
}

# Writes a settings file through the configuration program: settings name=value ...
settings() {
  "$build/config" --set "$@" >/dev/null || fail "config --set $*"
}

start_saver() {
  "$build/Lumivane" "$@" >"$work/saver.log" 2>&1 &
  saver_pid=$!
}

# Prints the saver window's size (WxH) once it is mapped and settled.
window_size() {
  settled_window "$saver_pid" || fail "no settled saver window (last size: $window_size)"
  echo "$window_size"
}

# Waits up to $1 seconds (scaled) for the saver to end; sets end_status to its exit status, or
# "running".
wait_end() {
  exit_status "$saver_pid" "$1"
  [ "$end_status" = running ] || saver_pid=""
}

expect_running() {
  kill -0 "$saver_pid" 2>/dev/null || fail "$1"
}
