#!/usr/bin/env bash
# "cmake --install" to a temporary prefix gives a tree that still works once moved elsewhere: the
# bin/lumivane link (and libexec/xscreensaver/lumivane, xscreensaver's) starts the saver, which finds its archives and preview picture beside itself
# from any working directory, without LUMIVANE_PATH.
source "$(dirname "$0")/preview_common.bash"
command -v xdotool >/dev/null || { echo "skipped: no xdotool"; exit 77; }
command -v cmake >/dev/null || { echo "skipped: no cmake"; exit 77; }

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" || fail "install: $(cat "$work/install.log")"
mv "$work/prefix" "$work/moved"
prefix=$work/moved
for file in lib/lumivane/Lumivane lib/lumivane/config lib/lumivane/main.pak lib/lumivane/clock.pak \
  lib/lumivane/calendar.pak lib/lumivane/utils.pak lib/lumivane/debug.pak lib/lumivane/preview.ppk \
  share/xscreensaver/config/lumivane.xml share/man/man6/lumivane.6.gz share/doc/lumivane/copyright \
  lib/systemd/user/lumivane-idle.service; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
[ "$(readlink "$prefix/bin/lumivane")" = ../lib/lumivane/Lumivane ] || fail "bin/lumivane is not the relative link"
# Where Debian keeps xscreensaver's hacks, and the settings program on the PATH.
[ "$(readlink "$prefix/libexec/xscreensaver/lumivane")" = ../../lib/lumivane/Lumivane ] ||
  fail "libexec/xscreensaver/lumivane is not the relative link"
[ "$(readlink "$prefix/bin/lumivane-config")" = ../lib/lumivane/config ] || fail "bin/lumivane-config is not the relative link"
"$prefix/libexec/xscreensaver/lumivane" --version | grep -q '^lumivane ' || fail "the hack does not run through its link"

unset LUMIVANE_PATH
mkdir -p "$work/elsewhere"
cd "$work/elsewhere"

# The preview through the link paints the installed picture.
host 152x112 installed-preview "$prefix/bin/lumivane" /p {}
[ "$status" = 0 ] || fail "installed /p: status $status"
[ "$(differing "bmp:$prefix/lib/lumivane/preview.ppk" "$work/installed-preview.ppm")" = 0 ] ||
  fail "installed /p: the window is not the installed picture"

# The full-screen run: a window of its own, then Escape ends it with status 0.
"$prefix/bin/lumivane" >"$work/saver.log" 2>&1 &
saver_pid=$!
background+=("$saver_pid")
settled_window "$saver_pid" ||
  fail "the installed saver showed no settled window (last size: $window_size): $(cat "$work/saver.log")"
xdotool key Escape
exit_status "$saver_pid" 10
[ "$end_status" = 0 ] || fail "the installed saver ended with $end_status after Escape: $(cat "$work/saver.log")"
echo "install: ok"
