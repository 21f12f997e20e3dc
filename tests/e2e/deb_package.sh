#!/usr/bin/env bash
# The Debian package on this machine (or inside a fresh root): apt installs it, the xscreensaver
# hack runs from /usr/libexec/xscreensaver with --clock=analog and shows the scene with the
# analogue clock, lumivane-config writes the system-wide settings, and a purge leaves nothing.
# It installs and removes a package, so it runs only when asked, as root:
#   LUMIVANE_DEB=build-deb/lumivane_1.0.0_amd64.deb tests/e2e/deb_package.sh
# (scripts/package-deb.sh makes the package). The screenshot goes to $SHOT (default
# e2e-shots/deb_analog.png in the package's folder). A failed run purges the package it installed.
set -euo pipefail
deb=${LUMIVANE_DEB:-}
if [ -z "$deb" ] || [ "$(id -u)" -ne 0 ]; then
  echo "skipped: set LUMIVANE_DEB to the package and run as root"
  exit 77
fi
deb=$(realpath "$deb")
shot=${SHOT:-$(dirname "$deb")/e2e-shots/deb_analog.png}
mkdir -p "$(dirname "$shot")"
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
here=$(dirname "$0")
source "$here/wait_common.bash"
source "$here/../../scripts/xvfb.bash"
shared_before=no
[ -e /var/lib/lumivane ] && shared_before=yes

work=$(mktemp -d -t lumivane-deb-XXXXXX)
saver_pid=""
installed=no
cleanup() {
  if [ -n "$saver_pid" ]; then kill -KILL "$saver_pid" 2>/dev/null || true; fi
  stop_xvfb
  # The next run refuses to start while the package is installed.
  if [ "$installed" = yes ]; then
    apt-get remove --purge -y -qq -o DPkg::Lock::Timeout=300 lumivane >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

installed=yes
apt-get install -y -qq -o DPkg::Lock::Timeout=300 "$deb" >"$work/apt.log" 2>&1 || fail "apt-get install: $(tail -5 "$work/apt.log")"
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|; s|/$||' | grep -v '^/*$' >"$work/files"
for path in "$hack" /usr/bin/lumivane-config /usr/lib/lumivane/main.pak \
  /usr/share/xscreensaver/config/lumivane.xml /usr/share/man/man6/lumivane.6.gz; do
  [ -e "$path" ] || fail "the package did not install $path"
done
"$hack" --version | grep -q '^lumivane ' || fail "$hack --version"
scale_time /usr/lib/lumivane/Lumivane
ldd /usr/lib/lumivane/Lumivane | grep -q 'not found' && fail "a library the saver needs is missing"

# A display of our own.
start_xvfb 212

# A user without settings of their own: the defaults, but for the option.
HOME=$work/home "$hack" -root --clock=analog >"$work/saver.log" 2>&1 &
saver_pid=$!
lit() {
  convert "$shot" -crop "$1" +repage -colorspace Gray -threshold 25% -format "%[fx:int(mean*100+0.5)]" info:
}
# The scene is up once candles, clock and calendar all show; the checks below then name what the
# last screenshot held.
scene_shown() {
  kill -0 "$saver_pid" 2>/dev/null || fail "the hack ended: $(cat "$work/saver.log")"
  import -window root "$shot"
  [ "$(lit 600x300+200+400)" -ge 5 ] && [ "$(lit 200x200+800+550)" -ge 3 ] && [ "$(lit 215x265+795+5)" -ge 2 ]
}
wait_until 20 scene_shown || true
share=$(lit 600x300+200+400)
[ "$share" -ge 5 ] || fail "no candles in $shot ($share% lit)"
share=$(lit 200x200+800+550)
[ "$share" -ge 3 ] || fail "no analogue clock in $shot ($share% lit)"
share=$(lit 215x265+795+5)
[ "$share" -ge 2 ] || fail "no calendar in $shot ($share% lit)"
kill -TERM "$saver_pid"
exit_status "$saver_pid" 10
[ "$end_status" != running ] || fail "the hack still runs $((10 * time_scale)) s after SIGTERM"
saver_pid=""
[ "$end_status" = 0 ] || fail "SIGTERM: status $end_status"

# The administrator's settings go to the system-wide file; a user without their own reads them.
lumivane-config --set showFrameRate=true | grep -q '^file=/var/lib/lumivane/nobrell_Lumivane_cfg$' ||
  fail "root's lumivane-config did not write the system-wide file"
HOME=$work/home lumivane-config --show | grep -q '^showFrameRate=true$' || fail "a user does not see the system-wide settings"

installed=no
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
