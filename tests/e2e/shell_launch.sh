#!/usr/bin/env bash
# /s starts the installed saver and waits for it; /c starts the configuration program and returns
# at once. Stand-in programs in a private installation folder record how they were started.
SHELL_TEST_NO_DISPLAY=1
source "$(dirname "$0")/shell_common.bash"

install=$work/install
mkdir -p "$install"
export LUMIVANE_PATH=$install
# Each stand-in records its folder, argument count and environment, then waits for a go file;
# it gives up when the test's folder goes, so a failed test leaves none of them behind.
for program in Lumivane config; do
  cat >"$install/$program" <<SCRIPT
#!/bin/sh
{ pwd; echo "\$#"; echo "\${SDL_VIDEO_ALLOW_SCREENSAVER:-unset}"; } > "$work/$program.report"
while [ ! -f "$work/$program.go" ]; do
  [ -d "$work" ] || exit 1
  sleep 0.05
done
touch "$work/$program.done"
SCRIPT
  chmod +x "$install/$program"
done

wait_for_file() {
  wait_until 10 test -f "$1" || fail "$1 did not appear"
}

for word in /s -S; do
  rm -f "$work"/Lumivane.*
  start_saver "$word"
  wait_for_file "$work/Lumivane.report"
  sleep 0.3
  expect_running "$word returned before its child ended"
  touch "$work/Lumivane.go"
  wait_end 5
  [ "$end_status" = 0 ] || fail "$word: expected status 0, got $end_status"
  [ -f "$work/Lumivane.done" ] || fail "$word ended before its child"
  [ "$(cat "$work/Lumivane.report")" = "$(printf '%s\n0\n1' "$install")" ] ||
    fail "$word: child started as: $(cat "$work/Lumivane.report")"
done

for word in /c /C:123; do
  rm -f "$work"/config.*
  start_saver "$word"
  wait_end 5
  [ "$end_status" = 0 ] || fail "$word: expected status 0 at once, got $end_status"
  wait_for_file "$work/config.report"
  [ ! -f "$work/config.done" ] || fail "$word waited for the configuration program"
  [ "$(head -2 "$work/config.report")" = "$(printf '%s\n0' "$install")" ] ||
    fail "$word: config started as: $(cat "$work/config.report")"
  touch "$work/config.go"
  wait_for_file "$work/config.done"
done
echo "/s waits, /c returns at once: ok"
