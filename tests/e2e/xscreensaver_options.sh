#!/usr/bin/env bash
# xscreensaver's settings dialog builds the hack's command line from data/lumivane.xml: every
# argument it can add must be accepted by the saver, run as xscreensaver runs it (in a window it
# hands over, ended by SIGTERM). A bad option ends the run at once with status 2 and one line.
source "$(dirname "$0")/preview_common.bash"
source_dir=${LUMIVANE_SOURCE_DIR:?LUMIVANE_SOURCE_DIR is not set}
xml=$source_dir/data/lumivane.xml

mapfile -t args < <(grep -o 'arg\(-set\|-unset\)\?="[^"]*"' "$xml" | sed 's/^[^"]*"\(.*\)"$/\1/')
[ "${#args[@]}" -ge 6 ] || fail "only ${#args[@]} arguments in $xml"
for needed in -root --clock=analog --clock=digital24 --clock=off --clock-size=small --calendar=russian \
  --calendar=off --fps --cpu-budget=0; do
  printf '%s\n' "${args[@]}" | grep -qx -- "$needed" || fail "$xml offers no $needed"
done
# Each select's first entry adds nothing: the settings file's choice, by default the defaults.
[ "$(grep -c '<select' "$xml")" = "$(grep -A1 '<select' "$xml" | grep '<option' | grep -vc 'arg-set')" ] ||
  fail "a select's first option adds an argument"

tried=0
for arg in "${args[@]}"; do
  [ "$arg" = -root ] && continue
  host --end term --settle 1500 320x240 "arg$tried" "$build/Lumivane" -window-id {} "$arg"
  [ "$status" = 0 ] || fail "$arg: status $status after SIGTERM"
  [ "$others" = 0 ] || fail "$arg: the run opened $others window(s) of its own"
  tried=$((tried + 1))
done
# All of them at once, after -root as xscreensaver puts it.
host --env --end term --settle 1500 320x240 all "$build/Lumivane" -root "${args[@]}"
[ "$status" = 0 ] || fail "all arguments: status $status"

# A bad value: status 2, one line naming it and the accepted values, no window. A run that took
# it would draw on the root window for good, so it gets a deadline.
limit=$((10 * time_scale))
set +e
out=$(timeout -k 2 "$limit" "$build/Lumivane" -root --clock=sundial 2>&1)
code=$?
set -e
[ "$code" != 124 ] || fail "--clock=sundial: still running after $limit s"
[ "$code" = 2 ] || fail "--clock=sundial: status $code, not 2"
[ "$(printf '%s\n' "$out" | wc -l)" = 1 ] || fail "--clock=sundial printed more than one line: $out"
case "$out" in *sundial*analog*) ;; *) fail "--clock=sundial: the line does not name it and the values: $out" ;; esac
"$build/Lumivane" --help | grep -- "--clock=digital|digital24|analog|off" >/dev/null || fail "--help lists no --clock"
"$build/Lumivane" --version | grep -q '^lumivane [0-9]' || fail "--version prints no version"
echo "xscreensaver options: ok ($tried arguments one by one, then all together)"
