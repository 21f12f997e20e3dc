#!/usr/bin/env bash
# The whole Windows flow, for the 64-bit build and the 32-bit one: installs the packages
# (mingw-w64, NSIS, Wine), builds the Windows libraries' cache and both builds' programs and
# installers, then tests each under Wine on an X server in a Wine prefix of its own: the unit
# tests, the resources read back from the built files, and end to end the silent install, the
# saver and its Settings dialog at 96, 144 and 192 dpi (scripts/test-windows-scaling.sh), the
# saver on two monitors (scripts/test-windows-monitors.sh), the screensaver (/s), its Settings
# dialog (/c), the preview (/p) and the uninstaller. The 32-bit
# programs are always built, but run only where this machine runs 32-bit programs
# (scripts/runs-32bit.sh); elsewhere one line says why they were not.
# Uses the X server in DISPLAY when it answers, else starts its own Xvfb.
# Ends with "N passed, M failed" over both; the exit status is 1 when anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
passed=0
failed=0
source scripts/checks.bash

step_start=$(date +%s)
step_name=""
timings=""
# step NAME: closes the running step (its time goes into the summary) and opens the next.
step() {
    local now
    now=$(date +%s)
    [ -n "$step_name" ] && timings="$timings$(printf '  %-36s %4d s' "$step_name" $((now - step_start)))"$'\n'
    step_name=$1
    step_start=$now
    [ "$1" = done ] || echo "== $1"
}

build64=${BUILD_DIR64:-build-win64}
build32=${BUILD_DIR:-build-win}
build_of() { if [ "$1" = x86_64 ]; then echo "$build64"; else echo "$build32"; fi; }

step "packages"
scripts/windows-install-deps.sh || { echo "package installation failed"; echo "0 passed, 1 failed"; exit 1; }

for arch in x86_64 i686; do
    step "Windows libraries ($arch, cache)"
    if ! WINDOWS_ARCH=$arch scripts/windows-deps.sh; then
        echo "building the Windows libraries ($arch) failed"
        echo "0 passed, 1 failed"
        exit 1
    fi
    step "cross build and installer ($arch)"
    if ! WINDOWS_ARCH=$arch BUILD_DIR="$(build_of $arch)" scripts/windows-build.sh; then
        echo "the Windows build ($arch) failed"
        echo "0 passed, 1 failed"
        exit 1
    fi
done

step "X server"
source scripts/xvfb.bash
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=d;mshtml=d"
# The wrapper in /usr/bin picks the 64-bit wineserver where there is one; it serves both widths.
cleanup() {
    local prefix
    for prefix in "$root/$build64/wine-prefix" "$root/$build32/wine-prefix"; do
        [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
    done
    stop_xvfb
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    start_xvfb 70 || { echo "0 passed, 1 failed"; exit 1; }
fi
screen=$(xdpyinfo | awk '/dimensions:/ {print $2}')

version=$(sed -n 's/^project(Lumivane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
# check_resources ARCH BUILD: each program's resources read back from the built file: the
# manifest's settings, the version, the icon and, for the saver, the title Windows lists it by.
check_resources() {
    local arch=$1 build=$2 windres=$1-w64-mingw32-windres machine=x86 file text manifest want
    [ "$arch" = x86_64 ] && machine=amd64
    local installer=Lumivane-setup.exe
    [ "$arch" = x86_64 ] && installer=Lumivane-setup-x64.exe
    icon_sizes() { sed -n '/RT_GROUP_ICON/,/^END/p' <<<"$1" | grep -o '^ *"[^"]*"' | tr -d ' ' | tr '\n' ' '; }
    local ours
    ours=$(icon_sizes "$("$windres" -i "$build/Lumivane.exe" -O rc 2>/dev/null)")
    for file in Lumivane.exe Lumivane.scr config.exe pak.exe "$installer"; do
        text=$("$windres" -i "$build/$file" -O rc 2>/dev/null)
        # The manifest's bytes as stored (windres shows them as text or as numbers).
        rm -f "$build/resources.res"
        "$windres" -i "$build/$file" -O res -o "$build/resources.res" 2>/dev/null
        manifest=""
        [ -f "$build/resources.res" ] && manifest=$(tr -d '\000' <"$build/resources.res" | tr '\n' ' ')
        local problems=""
        grep -q "FILEVERSION ${version//./, }, 0\$" <<<"$text" || problems="$problems version;"
        grep -q "VALUE \"ProductVersion\", \"$version\"" <<<"$text" || problems="$problems product version;"
        [ -n "$ours" ] && [ "$(icon_sizes "$text")" = "$ours" ] || problems="$problems icon;"
        if [ "$file" = "$installer" ]; then
            grep -q '<dpiAware[^>]*>true<' <<<"$manifest" || problems="$problems dpiAware;"
        else
            for want in '<dpiAware[^>]*>true/pm<' '<dpiAwareness[^>]*>PerMonitorV2, PerMonitor<' \
                '<activeCodePage[^>]*>UTF-8<' 'Common-Controls" version="6.0.0.0"' \
                "processorArchitecture=\"$machine\"" '35138b9a-5d96-4fbd-8e2d-a2440225f93a' \
                '4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38' '1f676c76-80e1-4239-95bb-83d0f6d0da78' \
                '8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a'; do
                grep -q -- "$want" <<<"$manifest" || problems="$problems manifest lacks $want;"
            done
        fi
        case $file in Lumivane.exe | Lumivane.scr)
            grep -q '^ *1, "Lumivane"$' <<<"$text" || problems="$problems no title string 1;" ;;
        esac
        if [ -z "$problems" ]; then pass "$file: manifest, version $version and icon read back"; else fail "$file:$problems"; fi
    done
    rm -f "$build/resources.res"
}

# run_checks NAME SCRIPT ARGS...: a script of checks of its own (its log in $shots/NAME.log), its
# lines shown and its counts added.
run_checks() {
    local name=$1 counts
    shift
    "$@" >"$shots/$name.log" 2>&1
    grep -E '^(PASS|FAIL|note):' "$shots/$name.log"
    counts=$(tail -1 "$shots/$name.log")
    if [[ $counts =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]]; then
        passed=$((passed + BASH_REMATCH[1]))
        failed=$((failed + BASH_REMATCH[2]))
    else
        fail "$name: the checks did not finish: $counts"
    fi
}

# test_build ARCH: the whole Wine run of one build, in a fresh prefix of its own.
test_build() {
    arch=$1
    build=$(build_of "$arch")
    shots=$root/$build/wine-shots
    if [ "$arch" = x86_64 ]; then
        bits=64 installer=Lumivane-setup-x64.exe
        export WINEARCH=win64 WINELOADER=$wine64
    else
        bits=32 installer=Lumivane-setup.exe
        export WINEARCH=win32 WINELOADER=$wine32
    fi
    export WINEPREFIX=$root/$build/wine-prefix
    local before_passed=$passed before_failed=$failed
    step "Wine prefix ($arch)"
    wineserver -k >/dev/null 2>&1  # a run that was cut short may have left its prefix's processes
    rm -rf "$WINEPREFIX" "$shots"
    mkdir -p "$shots"
    wine wineboot --init >/dev/null 2>&1
    wineserver -w

    # Windows paths of files in this tree (Wine's Z: drive is the Unix root).
    winpath() { echo "Z:${1//\//\\}"; }

    step "resources ($arch)"
    check_resources "$arch" "$build"

    step "unit tests under Wine ($arch)"
    # Left to the Linux run: one shared test removes a file it still holds open, which Windows does
    # not allow; another compares with the C library's dates back to 1900, which Windows' starts at 1970.
    filter="-WriteSettings.RoundTripsThroughTheFileAtomically:CalendarMath.AgreesWithTheCLibraryFrom1900To2199"
    for program in test_app test_content test_effects test_platform test_pak test_win32; do
        log=$shots/$program.log
        (cd "$build/tests" && LUMIVANE_PREVIEW_PPK=$(winpath "$root/$build/preview.ppk") \
            timeout 300 wine "./$program.exe" --gtest_filter="$filter" >"$log" 2>&1)
        status=$?
        ok=$(grep -c '^\[       OK \]' "$log")
        bad=$(grep -c '^\[  FAILED  \] .* ([0-9]* ms)$' "$log")
        passed=$((passed + ok))
        failed=$((failed + bad))
        echo "$program: $ok passed, $bad failed"
        if [ "$bad" -gt 0 ]; then grep -B2 -A8 'Failure' "$log" | head -40; fi
        if [ "$status" -ne 0 ] && [ "$bad" -eq 0 ]; then fail "$program ended with status $status"; fi
    done

    expect_lit() {
        local share
        share=$(lit "$1" "$2")
        if [ "$share" -ge "$3" ]; then pass "$4 ($share% lit)"; else fail "$4: only $share% lit in $2 of $1.png"; fi
    }
    expect_dark() {
        local share
        share=$(lit "$1" "$2")
        if [ "$share" -le "$3" ]; then pass "$4 ($share% lit)"; else fail "$4: $share% lit in $2 of $1.png"; fi
    }

    drive_c=$WINEPREFIX/drive_c
    install_dir="$drive_c/Program Files/Nobrell/Lumivane"
    scr='C:\windows\system32\Lumivane.scr'
    settings_file=$drive_c/ProgramData/nobrell_Lumivane_cfg

    # run_saver SHOT: "Lumivane.scr /s" as the desktop starts it; a screenshot once the scene shows
    # (candles and clock lit; a minute at most), then Escape must end it and /s must return 0 once the
    # saver has gone.
    run_saver() {
        wine "$scr" /s >"$shots/$1.out" 2>&1 &
        local pid=$! waited=0 shown=""
        while [ "$waited" -lt 60 ] && kill -0 "$pid" 2>/dev/null; do
            sleep 1
            waited=$((waited + 1))
            import -window root "$shots/$1.png"
            if [ "$(lit "$1" 600x300+200+400)" -ge 4 ] && [ "$(lit "$1" 300x90+706+660)" -ge 3 ]; then
                shown=yes
                break
            fi
        done
        [ -n "$shown" ] || echo "note: $1: no lit scene after $waited s (the checks below say what was seen)"
        waited=0
        xdotool mousemove 512 384 key Escape
        while kill -0 "$pid" 2>/dev/null && [ "$waited" -lt 100 ]; do
            sleep 0.2
            waited=$((waited + 1))
        done
        if kill -0 "$pid" 2>/dev/null; then
            fail "$1: the saver still runs 20 s after Escape"
            wineserver -k
            return 1
        fi
        local status=0
        wait "$pid" || status=$?
        if [ "$status" -eq 0 ]; then pass "$1: Escape ends it with status 0"; else fail "$1: status $status"; fi
    }

    step "installer ($arch)"
    if (cd "$build" && wine "./$installer" /S); then pass "silent install"; else fail "silent install status $?"; fi
    wineserver -w
    for file in Lumivane.exe config.exe pak.exe main.pak clock.pak calendar.pak utils.pak debug.pak preview.ppk uninstall.exe; do
        [ -f "$install_dir/$file" ] || fail "installed $file missing"
    done
    if [ -f "$drive_c/windows/system32/Lumivane.scr" ]; then pass "Lumivane.scr in the system folder"; else fail "no Lumivane.scr in the system folder"; fi
    value=$(wine reg query 'HKLM\Software\Nobrell\Lumivane\Settings' /v Path /reg:$bits 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *Path *REG_SZ *//p')
    if [ "$value" = 'C:\Program Files\Nobrell\Lumivane\' ]; then pass "registry Path = $value"; else fail "registry Path is '$value'"; fi

    step "display scaling ($arch)"
    run_checks scaling scripts/test-windows-scaling.sh "$build" "$shots/scaling"
    step "two monitors ($arch)"
    run_checks monitors scripts/test-windows-monitors.sh "$build" "$shots/monitors"

    step "screensaver /s ($arch)"
    if [ "$screen" != "1024x768" ]; then
        echo "note: the X screen is $screen; the picture checks look at places of a 1024x768 screen"
    fi
    run_saver saver_default
    expect_lit saver_default 600x300+200+400 4 "candles and flames"
    expect_lit saver_default 215x265+795+5 2 "calendar"
    expect_lit saver_default 300x90+706+660 3 "clock"

    step "Settings dialog /c ($arch)"
    if wine "$scr" /c; then pass "/c returns 0 at once"; else fail "/c status $?"; fi
    for _ in $(seq 300); do
        xdotool search --name "Lumivane Settings" >/dev/null 2>&1 && break
        sleep 0.1
    done
    # The window may be mapped a moment before it is painted: wait for its grey face in the middle.
    for _ in $(seq 50); do
        import -window root "$shots/settings_dialog.png"
        [ "$(lit settings_dialog 200x100+412+334)" -ge 80 ] && break
        sleep 0.2
    done
    # Its controls are painted one after another: the screenshot kept is the first that the next
    # one no longer differs from.
    for _ in $(seq 10); do
        sleep 0.3
        import -window root "$shots/settings_dialog_next.png"
        differ=$(compare -metric AE "$shots/settings_dialog.png" "$shots/settings_dialog_next.png" null: 2>&1)
        mv "$shots/settings_dialog_next.png" "$shots/settings_dialog.png"
        [ "$differ" = 0 ] && break
    done
    expect_lit settings_dialog 200x100+412+334 80 "dialog drawn"
    if (cd "$build/tests" && wine ./win_driver.exe settings OK "+Clock size" "Clock=Digital, 24-hour"); then
        pass "dialog: digital 24-hour clock picked, OK"
    else
        fail "dialog could not be driven"
    fi
    wineserver -w
    # showClock, analogClock, clock24Hours
    if [ -f "$settings_file" ] && [ "$(od -An -tu1 -j14 -N3 "$settings_file" | tr -s ' ')" = " 1 0 1" ]; then
        pass "settings file written with the 24-hour clock"
    else
        fail "no settings file with the 24-hour clock at $settings_file"
    fi
    # Without a clock its size is greyed out; Cancel leaves the file as OK wrote it.
    before=$(od -An -tx1 "$settings_file" 2>/dev/null)
    wine "$scr" /c
    if (cd "$build/tests" && wine ./win_driver.exe settings Cancel "Clock=None" "-Clock size" "Calendar=Russian") &&
        [ "$(od -An -tx1 "$settings_file" 2>/dev/null)" = "$before" ]; then
        pass "dialog: no clock greys out its size; Cancel changes nothing"
    else
        fail "dialog: Cancel changed the settings file or could not be driven"
    fi
    wineserver -w
    run_saver saver_24h
    expect_lit saver_24h 300x90+706+660 3 "24-hour clock"
    expect_dark saver_24h 60x85+708+665 0 "narrower 24-hour plate, no am/pm"

    step "preview /p ($arch)"
    # Wine shows no GDI painting into another process's window, so the pixels themselves are read
    # in-process by test_win32 (PreviewWindow, with the installed picture); here the real /p run.
    for size in "152 112" "151 112"; do
        if (cd "$build/tests" && wine ./win_driver.exe preview "$scr" $size); then
            pass "preview in a ${size/ /x} parent: child over the client area, status 0 when the parent goes"
        else
            fail "preview in a ${size/ /x} parent"
        fi
    done

    step "uninstaller ($arch)"
    if wine "$install_dir/uninstall.exe" /S; then pass "silent uninstall"; else fail "silent uninstall status $?"; fi
    wineserver -w
    for _ in $(seq 100); do
        [ -e "$install_dir" ] || break
        sleep 0.1
    done
    left=""
    [ -e "$install_dir" ] && left="$left install folder;"
    [ -e "$drive_c/Program Files/Nobrell" ] && left="$left Nobrell folder;"
    [ -e "$drive_c/windows/system32/Lumivane.scr" ] && left="$left Lumivane.scr;"
    [ -e "$settings_file" ] && left="$left settings file;"
    wine reg query 'HKLM\Software\Nobrell' /reg:$bits >/dev/null 2>&1 && left="$left registry key;"
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumivane' /reg:$bits >/dev/null 2>&1 &&
        left="$left uninstall entry;"
    if [ -z "$left" ]; then pass "uninstaller leaves nothing behind"; else fail "left behind:$left"; fi

    step "installation folder outside ASCII ($arch)"
    # The folder reaches the saver through the registry and every file call as UTF-8 (the
    # manifest's code page): the archives must open, and /c must find config.exe there.
    local cyrillic='C:\Программы\Lumivane'
    if (cd "$build" && wine "./$installer" /S "/D=$cyrillic") && wineserver -w &&
        [ -f "$drive_c/Программы/Lumivane/main.pak" ]; then
        pass "installed into $cyrillic"
        run_saver saver_cyrillic_folder
        expect_lit saver_cyrillic_folder 300x90+706+660 3 "the archives open from $cyrillic"
        wine "$scr" /c
        if (cd "$build/tests" && wine ./win_driver.exe settings Cancel "Calendar=Russian"); then
            pass "/c starts config.exe from $cyrillic"
        else
            fail "/c did not start config.exe from $cyrillic"
        fi
        wineserver -w
        wine "$drive_c/Программы/Lumivane/uninstall.exe" /S
        wineserver -w
        for _ in $(seq 100); do
            [ -e "$drive_c/Программы/Lumivane" ] || break
            sleep 0.1
        done
        if [ -e "$drive_c/Программы/Lumivane" ]; then fail "the uninstaller left $cyrillic"; else pass "uninstalled from $cyrillic"; fi
    else
        fail "could not install into $cyrillic"
    fi
    wineserver -k >/dev/null 2>&1
    echo "$bits-bit Windows build: $((passed - before_passed)) checks passed, $((failed - before_failed)) failed"
}

# Each build through its own loader, whichever the wrapper in /usr/bin would pick.
wine() { "$WINELOADER" "$@"; }
wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || wine64=$(command -v wine64 || command -v wine)
wine32=/usr/lib/wine/wine

test_build x86_64
if why=$(scripts/runs-32bit.sh); then
    if [ -x "$wine32" ]; then
        test_build i686
    else
        fail "this machine runs 32-bit programs, but 32-bit Wine ($wine32) is not installed"
    fi
else
    echo "32-bit Windows build: built (in $build32) but not run here: $why"
fi

step done
echo "Step times:"
printf '%s' "$timings"
echo "Screenshots and logs in $build64/wine-shots and $build32/wine-shots"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
