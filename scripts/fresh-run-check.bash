# The run command's part of scripts/fresh-check.sh, run inside its clean root: scripts/run.sh on an
# Xvfb of its own must build the saver and show the lit scene, and SIGTERM must end it with status 0.
#   bash scripts/fresh-run-check.bash SCREENSHOT.png
set -euo pipefail
cd "$(dirname "$0")/.."
shot=${1:?usage: fresh-run-check.bash SCREENSHOT.png}

# Only this check's own tools; the run command installs the rest itself.
scripts/install-deps.sh xvfb xauth x11-utils imagemagick
source scripts/xvfb.bash
log=$(mktemp)
saver_pid=""
finish() {
    if [ -n "$saver_pid" ]; then kill -KILL "$saver_pid" 2>/dev/null || true; fi
    stop_xvfb
    rm -f "$log"
}
trap finish EXIT
fail() {
    echo "FAIL: $*"
    sed 's/^/  run.sh: /' "$log" | tail -n 30
    exit 1
}
start_xvfb 90

started=$SECONDS
scripts/run.sh >"$log" 2>&1 &
saver_pid=$! # run.sh ends in exec, so this becomes the saver's pid
# It installs and builds first; a loaded machine may take long over that.
until xwininfo -root -tree 2>/dev/null | grep -q '("Lumivane"'; do
    kill -0 "$saver_pid" 2>/dev/null || fail "run.sh ended before the saver's window showed"
    [ $((SECONDS - started)) -lt 3600 ] || fail "no saver window after an hour"
    sleep 1
done
echo "window shown $((SECONDS - started)) s after run.sh started"

# lit GEOMETRY: percentage of the screenshot's region brighter than a quarter of full.
lit() {
    convert "$shot" -crop "$1" +repage -colorspace Gray -threshold 25% -format "%[fx:int(mean*100+0.5)]" info:
}
# The first frames wait for the scene to load; the regions are those of a 1024x768 screen.
candles=0 calendar=0 clock=0
for _ in $(seq 60); do
    sleep 1
    kill -0 "$saver_pid" 2>/dev/null || fail "the saver ended by itself"
    import -window root "$shot"
    candles=$(lit 600x300+200+400)
    calendar=$(lit 215x265+795+5)
    clock=$(lit 300x90+706+660)
    [ "$candles" -ge 4 ] && [ "$calendar" -ge 2 ] && [ "$clock" -ge 3 ] && break
done
[ "$candles" -ge 4 ] && [ "$calendar" -ge 2 ] && [ "$clock" -ge 3 ] ||
    fail "the scene did not show: lit candles $candles%, calendar $calendar%, clock $clock%"
echo "scene shown: lit candles $candles%, calendar $calendar%, clock $clock%"

kill -TERM "$saver_pid"
status=running
for _ in $(seq 100); do
    if ! kill -0 "$saver_pid" 2>/dev/null; then
        status=0
        wait "$saver_pid" || status=$?
        saver_pid=""
        break
    fi
    sleep 0.1
done
[ "$status" = 0 ] || fail "after SIGTERM the saver's status is $status (10 s allowed)"
echo "run command: the scene shown, SIGTERM ended the saver with status 0"
