#!/usr/bin/env bash
# SIGTERM and SIGINT end the run as Escape does: status 0, promptly. The deadline is the other
# endings' (5 s): on a loaded machine a frame and the teardown may take most of a second each.
source "$(dirname "$0")/shell_common.bash"
need_archives

for signal in TERM INT; do
  start_saver
  window_size >/dev/null
  sleep 0.5
  kill -s "$signal" "$saver_pid"
  wait_end 5
  [ "$end_status" = 0 ] || fail "SIG$signal: expected status 0 within 5 s (scaled by $time_scale), got $end_status"
done
echo "stop signals: ok"
