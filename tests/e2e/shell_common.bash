# Shared by the shell_*.sh whole-program tests: a private data folder, the saver started in the
# background, and waits for its window and its end. Sourced, not run.
set -euo pipefail

build=${LUMIVANE_BUILD_DIR:?LUMIVANE_BUILD_DIR is not set}
if [ -z "${DISPLAY:-}" ] && [ -z "${SHELL_TEST_NO_DISPLAY:-}" ]; then
  echo "skipped: no DISPLAY (scripts/test.sh starts an X server)"
  exit 77
fi

work=$(mktemp -d /tmp/lumivane-e2e-XXXXXX)
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

saver_window_size() {
  xwininfo -root -tree 2>/dev/null | grep '("Lumivane"' | grep -o '[0-9]\+x[0-9]\++' | tr -d + | head -1 || true
}

# Prints the saver window's size (WxH) once it is mapped and settled; fails after 20 seconds.
# SDL maps a small window first and sizes it afterwards, and it takes the keyboard a moment
# later, so a size only counts when it holds for a second.
window_size() {
  local size="" previous=""
  for _ in $(seq 40); do
    kill -0 "$saver_pid" 2>/dev/null || fail "the saver ended before its window settled"
    size=$(saver_window_size)
    if [ -n "$size" ] && [ "$size" = "$previous" ]; then
      echo "$size"
      return 0
    fi
    previous=$size
    sleep 0.5
  done
  fail "no settled saver window after 20 seconds (last size: ${size:-none})"
}

# Waits up to $1 seconds for the saver to end; sets end_status to its exit status, or "running".
# (Not run in a subshell: only this shell can collect its child's status.)
end_status=""
wait_end() {
  local tenths=$(($1 * 10))
  end_status=running
  for _ in $(seq "$tenths"); do
    if ! kill -0 "$saver_pid" 2>/dev/null; then
      end_status=0
      wait "$saver_pid" || end_status=$?
      saver_pid=""
      return 0
    fi
    sleep 0.1
  done
}

expect_running() {
  kill -0 "$saver_pid" 2>/dev/null || fail "$1"
}
