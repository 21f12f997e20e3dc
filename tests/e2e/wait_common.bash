# Waiting with deadlines, shared by the whole-program tests; sourced, not run.
# The deadlines are a plain build's on a loaded machine; a sanitizer build runs several times
# slower, so with one (or LUMIVANE_TIME_SCALE) every deadline stretches.

# scale_time PROGRAM: sets time_scale for the build PROGRAM belongs to.
time_scale=1
scale_time() {
  if [ -n "${LUMIVANE_TIME_SCALE:-}" ]; then
    time_scale=$LUMIVANE_TIME_SCALE
  elif ldd "$1" 2>/dev/null | grep libasan >/dev/null; then
    time_scale=4
  fi
  export LUMIVANE_TIME_SCALE=$time_scale
}

now_ms() {
  local t=${EPOCHREALTIME//[.,]/}
  echo $((t / 1000))
}

# wait_until SECONDS COMMAND...: succeeds as soon as COMMAND does; fails once SECONDS (scaled) have
# passed without it.
wait_until() {
  local deadline=$(($(now_ms) + $1 * 1000 * time_scale))
  shift
  until "$@"; do
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# saver_window_size: the size (WxH) of the mapped "Lumivane" window, empty while there is none.
saver_window_size() {
  xwininfo -root -tree 2>/dev/null | grep '("Lumivane"' | grep -o '[0-9]\+x[0-9]\++' | tr -d + | head -1 || true
}

# settled_window PID: once the saver's window is mapped and has kept its size for half a second, sets
# window_size and succeeds. SDL maps a small window first and sizes it afterwards, and takes the
# keyboard a moment later. Fails when PID ends or after 20 seconds (scaled), window_size then
# holding the last size seen ("none" without a window, "ended" when PID is gone).
window_size=""
settled_window() {
  local pid=$1 previous="" deadline=$(($(now_ms) + 20000 * time_scale))
  window_size=none
  while [ "$(now_ms)" -lt "$deadline" ]; do
    kill -0 "$pid" 2>/dev/null || { window_size=ended; return 1; }
    window_size=$(saver_window_size)
    [ -n "$window_size" ] && [ "$window_size" = "$previous" ] && return 0
    previous=$window_size
    window_size=${window_size:-none}
    sleep 0.5
  done
  return 1
}

# exit_status PID SECONDS: waits up to SECONDS (scaled) for the child PID to end and sets
# end_status to its exit status, or "running". Not in a subshell: only the parent shell can
# collect its child's status.
end_status=""
exit_status() {
  local pid=$1 deadline=$(($(now_ms) + $2 * 1000 * time_scale))
  end_status=running
  while [ "$(now_ms)" -lt "$deadline" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
      end_status=0
      wait "$pid" || end_status=$?
      return 0
    fi
    sleep 0.05
  done
  return 0
}
