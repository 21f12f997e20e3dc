#!/usr/bin/env bash
# The full-screen run on a Wayland compositor with layer-shell: sway's headless backend, with a
# grey background on every output, a panel and a full-screen window. The saver covers every
# output on the overlay layer, the scene on one and black on the others, and ends with status 0
# on a key, when the compositor is killed, and so on; the idle watcher starts it (the table below). sway 1.7 refuses to run
# as root, so as root the compositor and its clients run as the user nobody, from copies of the
# programs in a folder of its own.
set -euo pipefail
for tool in sway swaymsg swaybg grim wtype weston-fullscreen convert setpriv; do
    command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit 77; }
done
here=$(cd "$(dirname "$0")" && pwd)
BUILD=${LUMIVANE_BUILD_DIR:?LUMIVANE_BUILD_DIR is not set}

if [ "$(id -u)" = 0 ] && [ -z "${WAYLAND_TEST_INNER:-}" ]; then
    work=$(mktemp -d -t lumivane-wayland-XXXXXX)
    trap 'rm -rf "$work"' EXIT
    mkdir "$work/install" "$work/shots"
    for needed in Lumivane config main.pak clock.pak calendar.pak utils.pak debug.pak; do
        cp "$BUILD/$needed" "$work/install/" || { echo "missing $BUILD/$needed"; exit 1; }
    done
    cp "$0" "$here/wait_common.bash" "$work/"
    # An SDL 1.2 put in front of the installed one (sdl12-compat, by scripts/test.sh) comes along.
    compat=""
    for folder in ${LD_LIBRARY_PATH:+${LD_LIBRARY_PATH//:/ }}; do
        [ -e "$folder/libSDL-1.2.so.0" ] || continue
        cp -a "$folder" "$work/sdl"
        compat=$work/sdl
    done
    # The sanitizers' suppressions too, wherever the source tree lies.
    if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]+) ]] && [ -f "${BASH_REMATCH[1]}" ]; then
        cp "${BASH_REMATCH[1]}" "$work/lsan.supp"
        export LSAN_OPTIONS=${LSAN_OPTIONS/${BASH_REMATCH[1]}/$work/lsan.supp}
    fi
    chown -R nobody:nogroup "$work"
    chmod 0700 "$work"
    status=0
    WAYLAND_TEST_INNER=$work WAYLAND_TEST_SHOTS=$BUILD/e2e-shots LUMIVANE_BUILD_DIR=$work/install \
        LD_LIBRARY_PATH=${compat:-${LD_LIBRARY_PATH:-}} \
        setpriv --reuid=nobody --regid=nogroup --clear-groups bash "$work/$(basename "$0")" || status=$?
    mkdir -p "$BUILD/e2e-shots"
    cp "$work"/shots/*.png "$BUILD/e2e-shots/" 2>/dev/null || true
    exit "$status"
fi

source "$here/wait_common.bash"
scale_time "$BUILD/Lumivane"
work=${WAYLAND_TEST_INNER:-$(mktemp -d -t lumivane-wayland-XXXXXX)}
shots=${WAYLAND_TEST_INNER:+$work/shots}
shots=${shots:-$BUILD/e2e-shots}
mkdir -p "$shots"
unset DISPLAY WAYLAND_SOCKET SDL_VIDEODRIVER
export XDG_RUNTIME_DIR=$work/runtime HOME=$work LUMIVANE_PATH=$BUILD/ LUMIVANE_DATA=$work/data TZ=UTC
export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
sway_pid=""
saver_pid=""
watcher_pid=""
cleanup() {
    for pid in $watcher_pid $saver_pid $sway_pid; do kill -KILL "$pid" 2>/dev/null || true; done
    [ -n "${WAYLAND_TEST_INNER:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    for log in saver sway; do [ -s "$work/$log.log" ] && sed "s/^/  $log: /" "$work/$log.log" | tail -15; done
    exit 1
}

# A sanitizer build keeps Mesa's drivers loaded to the end, so that the leak suppressions match.
preload=""
if ldd "$BUILD/Lumivane" | grep libasan >/dev/null; then
    for lib in /usr/lib/x86_64-linux-gnu/libEGL_mesa.so.0 /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so; do
        [ -e "$lib" ] && preload="$preload $lib"
    done
    export ASAN_OPTIONS=${ASAN_OPTIONS:-}:verify_asan_link_order=0
fi

cat >"$work/sway.conf" <<'EOF'
output HEADLESS-1 resolution 1024x768
output * bg #808080 solid_color
xwayland disable
bar {
    position top
}
EOF

has_sway_socket() { compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" >/dev/null; }
# start_sway: a fresh compositor with the one 1024x768 output, HEADLESS-1.
start_sway() {
    rm -rf "$XDG_RUNTIME_DIR"
    mkdir -m 0700 "$XDG_RUNTIME_DIR"
    sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
    sway_pid=$!
    wait_until 10 has_sway_socket || fail "sway did not start"
    SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)
    export SWAYSOCK WAYLAND_DISPLAY=wayland-1
    wait_until 10 swaymsg -t get_outputs >/dev/null 2>&1 || fail "sway does not answer"
}
stop_sway() {
    kill -TERM "$sway_pid" 2>/dev/null || true
    wait "$sway_pid" 2>/dev/null || true
    sway_pid=""
}
output_count() { swaymsg -t get_outputs | grep -c '"name": "HEADLESS' || true; }
add_output() {
    local before
    before=$(output_count)
    swaymsg create_output >/dev/null
    wait_until 5 test "$(output_count)" -gt "$before" || fail "no output was added"
}
# The full-screen window the saver must cover, on HEADLESS-1.
start_window() {
    weston-fullscreen >/dev/null 2>&1 &
    wait_until 10 swaymsg '[app_id=".*"] fullscreen enable' >/dev/null 2>&1 || fail "no window to cover"
}

launch_saver() {
    LD_PRELOAD="${preload# } ${LD_PRELOAD:-}" "$BUILD/Lumivane" "$@" >"$work/saver.log" 2>&1 &
    saver_pid=$!
}

# lit NAME GEOMETRY: percentage of the region's pixels brighter than a quarter of full.
lit() {
    convert "$shots/$1.png" -crop "$2" +repage -colorspace Gray -threshold 25% -format "%[fx:int(mean*100+0.5)]" info:
}
# shot_until NAME SECONDS CHECK...: screenshots until the CHECK lines ("GEOMETRY lit|dark N") all
# hold; fails with the values last seen after SECONDS (scaled).
shot_until() {
    local name=$1 deadline=$(($(now_ms) + $2 * 1000 * time_scale)) seen ok check share region kind limit
    shift 2
    while :; do
        kill -0 "$saver_pid" 2>/dev/null || fail "$name: the saver is gone"
        grim "$shots/$name.png"
        ok=yes
        seen=""
        for check in "$@"; do
            read -r region kind limit <<<"$check"
            share=$(lit "$name" "$region")
            seen="$seen $region:$share%"
            if [ "$kind" = lit ]; then [ "$share" -ge "$limit" ] || ok=""; else [ "$share" -le "$limit" ] || ok=""; fi
        done
        [ -n "$ok" ] && return 0
        [ "$(now_ms)" -lt "$deadline" ] || fail "$name: not as expected (lit shares:$seen) in $shots/$name.png"
        sleep 0.3
    done
}

# Regions of the grim picture: HEADLESS-1 (1024x768 at 0,0), then HEADLESS-2 (1920x1080 beside it).
SECOND=1920x1080+1024+0
TOP_LEFT=200x90+0+0          # the full-screen window's text and border; dark in the scene
CLOCK=300x90+706+660         # the digital clock of the 1024x768 scene
CALENDAR_TOP=200x110+800+10  # its calendar page
SECOND_CLOCK=300x90+2594+965 # the clock of the 1920x1080 scene on HEADLESS-2
ALONE_CLOCK=300x90+1570+965  # the same, with HEADLESS-2 the only output
scene_on_first=("$TOP_LEFT dark 0" "$CLOCK lit 3" "$CALENDAR_TOP lit 5")
black_second=("$SECOND dark 0")

# ends_with_key / ends_with_kill: the saver must end with status 0 within a few seconds.
end_status_is_zero() {
    exit_status "$saver_pid" "$1"
    [ "$end_status" = 0 ] || fail "$2: the run ended with status $end_status"
    saver_pid=""
    ! grep -i 'segmentation\|fault\|abort' "$work/saver.log" || fail "$2: the saver reported a crash"
}
ends_with_key() {
    # A virtual keyboard joins the seat first; the key comes a moment later, once the saver's
    # keyboard object for it is there.
    wtype -s $((1000 * time_scale)) a
    end_status_is_zero 10 "a key"
}
ends_with_kill() {
    local since
    since=$(now_ms)
    # Killed, not ended: the connection simply hangs up, as when the compositor crashes.
    kill -KILL "$sway_pid"
    wait "$sway_pid" 2>/dev/null || true
    sway_pid=""
    end_status_is_zero 3 "the compositor killed"
    killed="$killed $name after $(($(now_ms) - since)) ms,"
}

case_two_outputs() {
    add_output
    start_window
    grim "$shots/wayland_before.png"
    [ "$(lit wayland_before "$SECOND")" -ge 90 ] || fail "no grey background on HEADLESS-2 to cover"
    [ "$(lit wayland_before "$TOP_LEFT")" -ge 2 ] || fail "no full-screen window on HEADLESS-1 to cover"
    launch_saver
    shot_until wayland_two_outputs 20 "${scene_on_first[@]}" "${black_second[@]}"
    ends_with_key
}
case_named_output() {
    add_output
    launch_saver --output=HEADLESS-2
    shot_until wayland_named_output 20 "1024x768+0+0 dark 0" "$SECOND_CLOCK lit 3"
    ends_with_key
}
case_hotplug() {
    launch_saver
    shot_until wayland_hotplug_before 20 "${scene_on_first[@]}"
    add_output
    shot_until wayland_hotplug 10 "${scene_on_first[@]}" "${black_second[@]}"
    # The scene's output unplugged (sway 1.8 and later can): the scene moves to the other, which
    # grim's picture then holds alone.
    if swaymsg output HEADLESS-1 unplug >/dev/null 2>&1; then
        shot_until wayland_unplugged 10 "$ALONE_CLOCK lit 3"
        unplugged=yes
    fi
    ends_with_key
}
# sdl12-compat's SDL 1.2 has SDL2's Wayland driver, which the user may choose; classic SDL 1.2 has none.
sdl_has_wayland() {
    local sdl
    sdl=$(ldd "$BUILD/Lumivane" | awk '/libSDL-1.2.so.0/ {print $3}')
    [ -n "$sdl" ] && grep -q SDL12COMPAT "$sdl"
}
case_sdl_driver_killed() {
    sdl_has_wayland || return 77
    SDL_VIDEODRIVER=wayland launch_saver
    shot_until wayland_sdl_driver 20 "${scene_on_first[@]}"
    sleep 1
    ends_with_kill
}
case_compositor_killed() {
    add_output
    launch_saver
    shot_until wayland_killed 20 "${scene_on_first[@]}" "${black_second[@]}"
    sleep 1
    ends_with_kill
}

# The idle watcher, with 3 s of idle time: the scene comes by itself, goes on a key, comes again,
# and stays away while a window inhibits idling; a second watcher declines; the compositor's end
# ends the watcher with its one line.
run_up() { pgrep -P "$watcher_pid" >/dev/null; }
run_down() { ! run_up; }
case_idle_watcher() {
    start_window
    "$BUILD/Lumivane" --idle=0.05 >"$work/watcher.log" 2>&1 &
    watcher_pid=$!
    sleep 0.5
    "$BUILD/Lumivane" --idle=0.05 >"$work/second.log" 2>&1 || fail "a second watcher ended with $?"
    grep -q "already runs" "$work/second.log" || fail "a second watcher said: $(cat "$work/second.log")"
    wait_until 20 run_up || fail "no run after the desk went idle: $(cat "$work/watcher.log")"
    saver_pid=$(pgrep -P "$watcher_pid")
    shot_until wayland_idle_start 20 "${scene_on_first[@]}"
    wtype -s $((1000 * time_scale)) a
    wait_until 10 run_down || fail "the key did not end the watcher's run"
    wait_until 20 run_up || fail "no second run at the next idle"
    saver_pid=$(pgrep -P "$watcher_pid")
    shot_until wayland_idle_again 20 "${scene_on_first[@]}"
    swaymsg '[app_id="org.freedesktop.weston.fullscreen"] inhibit_idle open' >/dev/null
    wtype -s $((1000 * time_scale)) a
    wait_until 10 run_down || fail "the key did not end the second run"
    saver_pid=""
    sleep $((8 * time_scale))
    run_down || fail "a run came while a window inhibits idling"
    local since
    since=$(now_ms)
    kill -KILL "$sway_pid"
    wait "$sway_pid" 2>/dev/null || true
    sway_pid=""
    exit_status "$watcher_pid" 3
    [ "$end_status" = 1 ] || fail "the watcher ended with $end_status when the compositor went"
    grep -q "compositor has gone" "$work/watcher.log" || fail "the watcher said: $(cat "$work/watcher.log")"
    killed="$killed the watcher after $(($(now_ms) - since)) ms (status 1),"
    watcher_pid=""
}

# case
cases="two_outputs
named_output
hotplug
compositor_killed
sdl_driver_killed
idle_watcher"
killed=""
unplugged=""
for name in $cases; do
    start_sway
    outcome=0
    "case_$name" || outcome=$?
    [ -z "$sway_pid" ] || stop_sway
    if [ "$outcome" = 77 ]; then
        echo "  $name: skipped (this SDL 1.2 has no Wayland driver)"
    elif [ "$name" = hotplug ] && [ -z "$unplugged" ]; then
        echo "  $name: ok (this sway cannot unplug an output: the scene's move is not tried)"
    else
        echo "  $name: ok"
    fi
done
echo "wayland desk: ok (two outputs, the scene on the named one, an output plugged in covered${unplugged:+, the scene moved off one unplugged}, ended by a key, started by the idle watcher; status 0 on a compositor killed:${killed%,}; screenshots in ${WAYLAND_TEST_SHOTS:-$shots})"
