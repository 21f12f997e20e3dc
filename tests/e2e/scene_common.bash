# Shared by the scene_*.sh tests: a private settings folder, the saver run full screen on the X
# server that scripts/test.sh started, screenshots and pixel counts. Screenshots stay in
# $LUMIVANE_BUILD_DIR/e2e-shots for a look.
set -euo pipefail
[ -n "${DISPLAY:-}" ] || exit 77
BUILD=${LUMIVANE_BUILD_DIR:?LUMIVANE_BUILD_DIR is not set}
for needed in Lumivane config main.pak clock.pak calendar.pak utils.pak debug.pak; do
    if [ ! -e "$BUILD/$needed" ]; then
        echo "missing $BUILD/$needed"
        exit 1
    fi
done
for tool in import convert compare xdotool; do
    command -v "$tool" >/dev/null || exit 77
done

source "$(dirname "${BASH_SOURCE[0]}")/wait_common.bash"
scale_time "$BUILD/Lumivane"
work=$(mktemp -d -t lumivane-scene-XXXXXX)
shots=$BUILD/e2e-shots
mkdir -p "$shots"
export LUMIVANE_PATH=$BUILD/ LUMIVANE_DATA=$work/data TZ=UTC
saver_pid=""
saver_args=""  # words for the saver's command line (split at spaces)
cleanup() {
    if [ -n "$saver_pid" ]; then kill -9 "$saver_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

# configure name=value ...: the settings file the saver reads, at 1024x768.
configure() {
    "$BUILD/config" --set resolutionIndex=3 "$@" >/dev/null
}

# start_saver [TIME]: the full-screen run, back once its window is mapped; with TIME
# ("2026-03-14 23:59:58") the wall clock starts there and runs on (libfaketime, as the faketime
# program uses it; SDL's tick counter still counts from start-up). launched_ms is when it started.
# An X server without -noreset refuses connections for a moment after its last client has gone,
# so a refused start is tried again.
launched_ms=0
mapped_or_gone() {
    [ -n "$(saver_window_size)" ] || ! kill -0 "$saver_pid" 2>/dev/null
}
start_saver() {
    local attempt
    for attempt in 1 2 3 4 5 6 7 8; do
        launched_ms=$(now_ms)
        launch_saver "$@"
        wait_until 20 mapped_or_gone || fail "no saver window after $((20 * time_scale)) s: $(cat "$work/output")"
        kill -0 "$saver_pid" 2>/dev/null && return
        grep -q "open X11 display" "$work/output" || fail "the saver ended at start: $(cat "$work/output")"
        wait "$saver_pid" || true
        saver_pid=""
        sleep 0.5
    done
    fail "no connection to the X server: $(cat "$work/output")"
}

# A sanitizer build keeps Mesa's driver loaded: unloaded at exit, its start-up allocations lose
# their names and the leak suppressions for it cannot match.
preload=""
driver=/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so
# Not grep -q: it may quit before ldd has written all, and pipefail counts ldd's SIGPIPE as "no".
if ldd "$BUILD/Lumivane" | grep libasan >/dev/null && [ -e "$driver" ]; then
    preload=$driver
    export ASAN_OPTIONS=${ASAN_OPTIONS:-}:verify_asan_link_order=0
fi

launch_saver() {
    local libs=$preload
    if [ $# -gt 0 ]; then
        local lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
        [ -e "$lib" ] || exit 77
        # libfaketime under the sanitizers' runtime makes glibc abort now and then ("The futex
        # facility returned an unexpected error code"), never without it: a set time is tested in
        # the plain build only (the scene's code runs under the sanitizers in the unit tests).
        if [ -n "$preload" ]; then
            echo "skipped: a set wall time (libfaketime) in a sanitizer build"
            exit 77
        fi
        libs=$lib
    fi
    if [ -n "$libs" ]; then
        LD_PRELOAD="$libs ${LD_PRELOAD:-}" FAKETIME="@${1:-}" "$BUILD/Lumivane" $saver_args >"$work/output" 2>&1 &
    else
        "$BUILD/Lumivane" $saver_args >"$work/output" 2>&1 &
    fi
    saver_pid=$!
}

# shot NAME: the whole screen into $shots/NAME.png.
shot() {
    kill -0 "$saver_pid" 2>/dev/null || fail "the saver is gone: $(cat "$work/output")"
    import -window root "$shots/$1.png"
}

# lit NAME GEOMETRY: percentage of pixels of the region (WxH+X+Y) brighter than a quarter of full.
lit() {
    convert "$shots/$1.png" -crop "$2" +repage -colorspace Gray -threshold 25% -format "%[fx:int(mean*100+0.5)]" info:
}

# expect_lit NAME GEOMETRY MIN WHAT / expect_dark NAME GEOMETRY MAX WHAT / expect_differs A B
# GEOMETRY MIN WHAT: fail with the value seen, or while probing (shot_until) only note the miss.
probing=""
missed=""
expect() {
    if [ -n "$probing" ]; then
        missed=yes
    else
        fail "$1"
    fi
}
expect_lit() {
    local share
    share=$(lit "$1" "$2")
    [ "$share" -ge "$3" ] || expect "$4: only $share% lit in $2 of $1.png"
}
expect_dark() {
    local share
    share=$(lit "$1" "$2")
    [ "$share" -le "$3" ] || expect "$4: $share% lit in $2 of $1.png"
}
expect_differs() {
    local share
    share=$(differs "$1" "$2" "$3")
    [ "$share" -ge "$4" ] || expect "$5: only $share% of $3 differs between $1.png and $2.png"
}

# shot_until NAME CHECK [SECONDS]: takes screenshot NAME again and again until the function CHECK
# (expect_* lines) finds everything it expects, for up to SECONDS (20; scaled); then CHECK runs
# once more for real, so a failure names the value it last saw.
shot_until() {
    local deadline=$(($(now_ms) + ${3:-20} * 1000 * time_scale))
    while :; do
        shot "$1"
        probing=yes
        missed=""
        "$2"
        probing=""
        [ -n "$missed" ] && [ "$(now_ms)" -lt "$deadline" ] || break
        sleep 0.3
    done
    "$2"
}

# differs A B GEOMETRY: percentage of the region's pixels that differ clearly between two screenshots.
differs() {
    convert "$shots/$1.png" -crop "$3" +repage "$work/a.png"
    convert "$shots/$2.png" -crop "$3" +repage "$work/b.png"
    local count
    count=$(compare -metric AE -fuzz 10% "$work/a.png" "$work/b.png" null: 2>&1 || true)
    local size=${3%%+*}
    echo $((${count%%.*} * 100 / (${size%x*} * ${size#*x})))
}

# stop_saver: Escape must dismantle the scene and end the run with status 0 within 10 seconds.
stop_saver() {
    xdotool key Escape
    exit_status "$saver_pid" 10
    [ "$end_status" != running ] || fail "the saver still runs $((10 * time_scale)) s after Escape"
    saver_pid=""
    [ "$end_status" -eq 0 ] || fail "the saver ended with status $end_status: $(cat "$work/output")"
}

# Regions of the 1024x768 picture.
CALENDAR_TOP=200x110+800+10  # month name, weekday row and the first weeks; no flame reaches it
CALENDAR=215x265+795+5
CLOCK=300x90+706+660
FRAME_RATE=90x30+5+5
CANDLES=600x300+200+400
