#!/usr/bin/env bash
# The Debian package on this machine (or inside a fresh root): apt installs it, the xscreensaver
# hack runs from /usr/libexec/xscreensaver with --clock=analog and shows the scene with the
# analogue clock, lumivane-config writes the system-wide settings, and a purge leaves nothing.
# It installs and removes a package, so it runs only when asked, as root:
#   LUMIVANE_DEB=build-deb/lumivane_1.0.0_amd64.deb tests/e2e/deb_package.sh
# (scripts/package-deb.sh makes the package). The screenshot goes to $SHOT (default
# /tmp/lumivane-deb-analog.png).
set -euo pipefail
deb=${LUMIVANE_DEB:-}
if [ -z "$deb" ] || [ "$(id -u)" -ne 0 ]; then
  echo "skipped: set LUMIVANE_DEB to the package and run as root"
  exit 77
fi
deb=$(realpath "$deb")
shot=${SHOT:-/tmp/lumivane-deb-analog.png}
hack=/usr/libexec/xscreensaver/lumivane
export DEBIAN_FRONTEND=noninteractive

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

for tool in Xvfb xdpyinfo import convert; do
  command -v "$tool" >/dev/null || apt-get install -y -qq --no-install-recommends xvfb x11-utils imagemagick >/dev/null
done
dpkg -s lumivane >/dev/null 2>&1 && fail "lumivane is installed already; remove it first"
shared_before=no
[ -e /var/lib/lumivane ] && shared_before=yes

work=$(mktemp -d /tmp/lumivane-deb-XXXXXX)
xvfb_pid=""
saver_pid=""
cleanup() {
  [ -n "$saver_pid" ] && kill -KILL "$saver_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

apt-get install -y -qq -o DPkg::Lock::Timeout=300 "$deb" >"$work/apt.log" 2>&1 || fail "apt-get install: $(tail -5 "$work/apt.log")"
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|; s|/$||' | grep -v '^/*$' >"$work/files"
for path in "$hack" /usr/bin/lumivane-config /usr/lib/lumivane/main.pak \
  /usr/share/xscreensaver/config/lumivane.xml /usr/share/man/man6/lumivane.6.gz; do
  [ -e "$path" ] || fail "the package did not install $path"
done
"$hack" --version | grep -q '^lumivane ' || fail "$hack --version"
ldd /usr/lib/lumivane/Lumivane | grep -q 'not found' && fail "a library the saver needs is missing"

# A display of our own: the first free number from 212 up.
display=212
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do xdpyinfo -display ":$display" >/dev/null 2>&1 && break; sleep 0.2; done
export DISPLAY=:$display

# A user without settings of their own: the defaults, but for the option.
HOME=$work/home "$hack" -root --clock=analog >"$work/saver.log" 2>&1 &
saver_pid=$!
lit() {
  convert "$shot" -crop "$1" +repage -colorspace Gray -threshold 25% -format "%[fx:int(mean*100+0.5)]" info:
}
for _ in $(seq 30); do
  sleep 0.5
  kill -0 "$saver_pid" 2>/dev/null || fail "the hack ended: $(cat "$work/saver.log")"
  import -window root "$shot"
  [ "$(lit 200x200+800+550)" -ge 3 ] && [ "$(lit 600x300+200+400)" -ge 5 ] && break
done
sleep 2
import -window root "$shot"
[ "$(lit 600x300+200+400)" -ge 5 ] || fail "no candles in $shot"
[ "$(lit 200x200+800+550)" -ge 3 ] || fail "no analogue clock in $shot"
[ "$(lit 215x265+795+5)" -ge 2 ] || fail "no calendar in $shot"
kill -TERM "$saver_pid"
status=0
wait "$saver_pid" || status=$?
saver_pid=""
[ "$status" = 0 ] || fail "SIGTERM: status $status"

# The administrator's settings go to the system-wide file; a user without their own reads them.
lumivane-config --set showFrameRate=true | grep -q '^file=/var/lib/lumivane/nobrell_Lumivane_cfg$' ||
  fail "root's lumivane-config did not write the system-wide file"
HOME=$work/home lumivane-config --show | grep -q '^showFrameRate=true$' || fail "a user does not see the system-wide settings"

apt-get remove --purge -y -qq -o DPkg::Lock::Timeout=300 lumivane >"$work/apt.log" 2>&1 || fail "apt-get remove: $(tail -5 "$work/apt.log")"
dpkg -s lumivane >/dev/null 2>&1 && fail "dpkg still knows lumivane"
left=""
while read -r path; do
  [ -e "$path" ] || [ -L "$path" ] || continue
  # Folders other packages share (/usr, /usr/share/man/man6, ...) stay when they hold other files.
  if [ -d "$path" ] && [ ! -L "$path" ] && [ -n "$(ls -A "$path")" ] && ! [[ "$path" == */lumivane ]]; then continue; fi
  left="$left $path"
done <"$work/files"
[ -z "$left" ] || fail "left behind:$left"
if [ "$shared_before" = no ] && [ -e /var/lib/lumivane ]; then fail "left behind: /var/lib/lumivane"; fi
echo "deb package: ok (screenshot $shot)"
