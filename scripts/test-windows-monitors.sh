#!/usr/bin/env bash
# The installed saver on two monitors side by side, under Wine: an Xorg of its own with the dummy
# driver's RandR outputs (DUMMY0 the primary, DUMMY1 to its right), where Wine sees two monitors
# (Xvfb's and Xephyr's heads it sees as one). The scene must fill the primary with its clock and
# calendar and a cover the other, and Escape with the pointer over the cover must end the run.
#   WINEPREFIX=... WINELOADER=... scripts/test-windows-monitors.sh BUILD SHOTS
# (the build installed in WINEPREFIX). Prints PASS:/FAIL: lines and ends with "N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/checks.bash
source scripts/xvfb.bash  # for display_taken
build=$1
shots=$2
mkdir -p "$shots"

finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}
if [ "$(wine_major)" -lt 10 ]; then
    echo "note: $(wine --version 2>/dev/null) sees one monitor on every test X server tried (Xorg's dummy outputs, Xephyr and Xvfb heads, RandR monitors): the two-monitor run needs Wine 10, which sees two"
    finish
fi
if ! command -v Xorg >/dev/null || [ ! -f /usr/lib/xorg/modules/drivers/dummy_drv.so ]; then
    fail "two monitors: no Xorg with the dummy driver (xserver-xorg-core, xserver-xorg-video-dummy)"
    finish
fi
cat >"$shots/dummy.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 64000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "1024x768" 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2048 768
    Modes "1024x768"
  EndSubSection
EndSection
CONF
number=85
while display_taken "$number"; do number=$((number + 1)); done
Xorg ":$number" -config "$shots/dummy.conf" -noreset -nolisten tcp -logfile "$shots/xorg.log" -novtswitch \
    -sharevts >/dev/null 2>&1 &
xorg=$!
trap 'kill "$xorg" 2>/dev/null; wait "$xorg" 2>/dev/null' EXIT
export DISPLAY=:$number
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
sleep 2  # the driver's outputs settle after the server answers
xrandr --addmode DUMMY1 1024x768 >/dev/null 2>&1
if ! xrandr --output DUMMY1 --mode 1024x768 --right-of DUMMY0 2>/dev/null; then
    fail "two monitors: the X server gave no second output ($(grep -m1 '(EE)' "$shots/xorg.log"))"
    finish
fi
xrandr --listmonitors >"$shots/xrandr.txt" 2>&1

wineserver -k >/dev/null 2>&1
wineserver -w
# Wine takes the new monitors in when its desktop starts, a moment after the first program.
monitors=""
for _ in $(seq 20); do
    monitors=$(cd "$build/tests" && wine ./win_driver.exe monitors 2>/dev/null | tr -d '\r')
    [ "$(head -1 <<<"$monitors")" = "2 monitors" ] && break
    sleep 0.5
done
if grep -q '^monitor 1024x768+1024+0$' <<<"$monitors" && grep -q '^monitor 1024x768+0+0 primary$' <<<"$monitors"; then
    pass "two monitors: Wine sees the primary at 0,0 and the second at 1024,0"
else
    fail "two monitors: Wine reports $(tr '\n' ';' <<<"$monitors")"
fi
install_dir=$(wine reg query 'HKLM\Software\Nobrell\Lumivane\Settings' /v Path 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *Path *REG_SZ *//p')
xdotool mousemove 1500 300
LUMIVANE_REPORT_VIDEO=1 wine "${install_dir}Lumivane.exe" >"$shots/two_monitors.out" 2>&1 &
pid=$!
for _ in $(seq 60); do
    sleep 1
    import -window root "$shots/two_monitors.png"
    [ "$(lit two_monitors 300x90+706+660)" -ge 3 ] && break
done
sleep 1
import -window root "$shots/two_monitors.png"
scene=$(lit two_monitors 600x300+200+400)
clock=$(lit two_monitors 300x90+706+660)
calendar=$(lit two_monitors 215x265+795+5)
other=$(lit two_monitors 1024x768+1024+0)
if [ "$scene" -ge 4 ] && [ "$clock" -ge 3 ] && [ "$calendar" -ge 2 ] && [ "$other" -le 1 ]; then
    pass "two monitors: the scene on the primary (candles $scene%, clock $clock%, calendar $calendar% lit), the other dark ($other%)"
else
    fail "two monitors: candles $scene%, clock $clock%, calendar $calendar% lit on the primary, $other% on the other"
fi
xwininfo -root -tree >"$shots/windows.txt"
cover=$(grep '"Lumivane cover"' "$shots/windows.txt" | grep -o '[0-9]*x[0-9]*+[0-9]*+[0-9]*' | head -1)
if [ "$cover" = "1024x768+1024+0" ]; then
    pass "two monitors: a cover over the second monitor ($cover)"
else
    fail "two monitors: the cover is at '${cover:-nowhere}', not 1024x768+1024+0"
fi
xdotool mousemove 1600 400 key Escape
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$pid" 2>/dev/null; then
    fail "two monitors: Escape with the pointer over the second monitor did not end the run"
    wineserver -k
else
    status=0
    wait "$pid" || status=$?
    if [ "$status" -eq 0 ]; then
        pass "two monitors: Escape with the pointer over the second monitor ends the run"
    else
        fail "two monitors: status $status"
    fi
fi
wineserver -w
finish
