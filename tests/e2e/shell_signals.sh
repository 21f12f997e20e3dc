#!/usr/bin/env bash
# SIGTERM, SIGINT and Escape end the run with status 0, promptly. At the default rate the deadline
# is the other endings' (5 s): on a loaded machine a frame and the teardown may take most of a
# second each. At the floor rate (a budget too small for anything more: frames 200 ms apart) the
# ending must not wait for the next frame, and the frames that dismantle the scene are not paced:
# the run is over within a second.
source "$(dirname "$0")/shell_common.bash"
need_archives

# The budget leaves the start rate after two 2 s windows (the first is start-up's), so the floor
# cases run 5 s first.
# ending           saver options             run first (s)  deadline (s)
cases=(
  "TERM            -                         1              5"
  "INT             -                         1              5"
  "TERM            --cpu-budget=0.001        5              1"
  "Escape          --cpu-budget=0.001        5              1"
)
for row in "${cases[@]}"; do
  read -r ending options first deadline <<<"$row"
  [ "$options" = - ] && options=""
  # shellcheck disable=SC2086
  start_saver $options
  window_size >/dev/null
  sleep "$first"
  expect_running "$ending $options: the run ended by itself"
  sent=$(now_ms)
  if [ "$ending" = Escape ]; then
    xdotool key Escape
  else
    kill -s "$ending" "$saver_pid"
  fi
  wait_end "$deadline"
  took=$(($(now_ms) - sent))
  [ "$end_status" = 0 ] ||
    fail "$ending $options: expected status 0 within $deadline s (scaled by $time_scale), got $end_status"
  echo "$ending ${options:-(default)}: over in $took ms"
done
echo "endings: ok"
