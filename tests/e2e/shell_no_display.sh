#!/usr/bin/env bash
# Without an X display the run reports the video failure in one line and ends with status 1.
SHELL_TEST_NO_DISPLAY=1
source "$(dirname "$0")/shell_common.bash"

status=0
env -u DISPLAY -u SDL_VIDEODRIVER "$build/Lumivane" >"$work/out" 2>"$work/err" || status=$?
[ "$status" = 1 ] || fail "expected status 1, got $status"
[ ! -s "$work/out" ] || fail "unexpected output: $(cat "$work/out")"
[ "$(wc -l <"$work/err")" = 1 ] || fail "expected one line, got: $(cat "$work/err")"
grep -q '^Video initialization failed: .\+$' "$work/err" || fail "unexpected message: $(cat "$work/err")"
echo "no display: $(cat "$work/err")"
