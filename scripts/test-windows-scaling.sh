#!/usr/bin/env bash
# The installed Windows build on a scaled display, under Wine at 96, 144 and 192 dpi (100, 150
# and 200%): the saver must draw at the screen's full pixel size (its own report of the GL
# viewport) with the scene, clock and calendar where they belong, and the Settings dialog must
# grow with the scaling, every control inside it and every text whole. Screenshots go to SHOTS.
# Wine 8 counts every window as DPI-aware and scales nothing (Wine 10 scales as Windows does): the
# runs still happen, and one line says they cannot tell an aware build from an unaware one there.
#   WINEPREFIX=... WINELOADER=... DISPLAY=... scripts/test-windows-scaling.sh BUILD SHOTS
# (the build installed in WINEPREFIX). Prints PASS:/FAIL: lines and ends with "N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")/.."
build=$1
shots=$2
mkdir -p "$shots"
source scripts/checks.bash

screen=$(xdpyinfo | awk '/dimensions:/ {print $2}')
if [ "$(wine_major)" -lt 10 ]; then
    echo "note: $(wine --version 2>/dev/null) counts every window as DPI-aware and scales none: these runs show the layout at each DPI but cannot tell an aware build from an unaware one"
fi
install_dir='C:\Program Files\Nobrell\Lumivane'
for bits in 64 32; do
    wine reg query 'HKLM\Software\Nobrell\Lumivane\Settings' /v Path /reg:$bits >/dev/null 2>&1 &&
        install_dir=$(wine reg query 'HKLM\Software\Nobrell\Lumivane\Settings' /v Path /reg:$bits | tr -d '\r' |
            sed -n 's/^ *Path *REG_SZ *\(.*\)\\$/\1/p') && break
done

set_dpi() {
    wineserver -k >/dev/null 2>&1
    wineserver -w
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
        /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1
    wineserver -w
}

widths=""
for dpi in 96 144 192; do
    set_dpi "$dpi"
    name=saver_${dpi}dpi
    LUMIVANE_REPORT_VIDEO=1 wine "$install_dir\\Lumivane.exe" >"$shots/$name.out" 2>&1 &
    pid=$!
    for _ in $(seq 60); do
        sleep 1
        import -window root "$shots/$name.png"
        [ "$(lit "$name" 300x90+706+660)" -ge 3 ] && break
    done
    sleep 1
    import -window root "$shots/$name.png"
    xdotool mousemove 512 384 key Escape
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    kill -0 "$pid" 2>/dev/null && { fail "$name: still running after Escape"; wineserver -k; }
    wait "$pid" 2>/dev/null
    # The window and the screen as the saver sees them: an unaware program is told of a smaller
    # screen, and its window is stretched over the real one.
    report=$(grep -o 'GL viewport [0-9x]*, window client [0-9x-]*, screen [0-9x-]*' "$shots/$name.out" | head -1)
    if [ "$report" = "GL viewport $screen, window client $screen, screen $screen" ]; then
        pass "$dpi dpi: the saver draws at the screen's $screen ($report)"
    else
        fail "$dpi dpi: the saver reports '${report:-nothing}' on a $screen screen"
    fi
    calendar=$(lit "$name" 215x265+795+5)
    clock=$(lit "$name" 300x90+706+660)
    if [ "$calendar" -ge 2 ] && [ "$clock" -ge 3 ]; then
        pass "$dpi dpi: calendar ($calendar% lit) and clock ($clock% lit) in their corners"
    else
        fail "$dpi dpi: calendar $calendar% lit, clock $clock% lit in $name.png"
    fi

    name=settings_${dpi}dpi
    wine "$install_dir\\config.exe" &
    pid=$!
    for _ in $(seq 100); do
        xdotool search --name "Lumivane Settings" >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 1.5
    import -window root "$shots/$name.png"
    layout=$(cd "$build/tests" && wine ./win_driver.exe layout 2>&1)
    status=$?
    sleep 0.5
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    kill -0 "$pid" 2>/dev/null && wineserver -k
    size=$(sed -n 's/^dialog client \([0-9]*\)x.*/\1/p' <<<"$layout")
    widths="$widths $dpi:${size:-0}"
    if [ "$status" -eq 0 ]; then
        pass "$dpi dpi: Settings dialog laid out whole ($(tail -1 <<<"$layout"))"
    else
        fail "$dpi dpi: Settings dialog: $(tr '\n' ';' <<<"$layout")"
    fi
done
# The dialog takes its size from the font, which follows the DPI: at 200% about twice as wide.
w96=$(sed -n 's/.* 96:\([0-9]*\).*/\1/p' <<<"$widths")
w192=$(sed -n 's/.* 192:\([0-9]*\).*/\1/p' <<<"$widths")
if [ "${w96:-0}" -gt 0 ] && [ $((w192 * 10 / w96)) -ge 16 ] && [ $((w192 * 10 / w96)) -le 25 ]; then
    pass "the Settings dialog grows with the scaling (client widths$widths)"
else
    fail "the Settings dialog does not follow the scaling (client widths$widths)"
fi
set_dpi 96
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
