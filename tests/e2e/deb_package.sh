#!/usr/bin/env bash
# The Debian package on this machine (or inside a fresh root): apt installs it, the xscreensaver
# hack runs from /usr/libexec/xscreensaver with --clock=analog and shows the scene with the
# analogue clock, lumivane-config writes the system-wide settings that an unprivileged user then
# reads, a purge leaves nothing, and lintian -I --pedantic has nothing to say about the package.
# An installed lumivane makes it refuse; system-wide settings already here are set aside for the
# run and put back after it. It installs and removes a package, so it runs only when asked, as
# root:
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

for tool in Xvfb xdpyinfo import convert lintian; do
  command -v "$tool" >/dev/null ||
    apt-get install -y -qq --no-install-recommends xvfb x11-utils imagemagick lintian >/dev/null
done
# Its purge would take an administrator's package and settings with it.
if dpkg -s lumivane >/dev/null 2>&1; then
  echo "FAIL: lumivane is installed already (dpkg -s lumivane); remove or purge it first" >&2
  exit 1
fi
shared=/var/lib/lumivane
saved=$shared.deb-test-saved
if [ -e "$saved" ] || [ -L "$saved" ]; then
  echo "FAIL: $saved holds settings an earlier run set aside; move them back to $shared first" >&2
  exit 1
fi
here=$(dirname "$0")
source "$here/wait_common.bash"
source "$here/../../scripts/xvfb.bash"

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
  if [ -e "$saved" ] || [ -L "$saved" ]; then
    rm -rf "$shared"
    mv "$saved" "$shared" || echo "the system-wide settings were set aside in $saved; move them back" >&2
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
# Renamed, not copied: nothing of it is lost or changed, whatever ends the run.
if [ -e "$shared" ] || [ -L "$shared" ]; then
  mv "$shared" "$saved"
  echo "the system-wide settings in $shared are set aside in $saved until the end of the run"
fi

# Not a tag, not even a pedantic one: hardening and stripping show here.
lintian_status=0
tags=$(lintian -I --pedantic "$deb" 2>"$work/lintian.log") || lintian_status=$?
[ -z "$tags" ] || fail "lintian -I --pedantic:"$'\n'"$tags"
[ "$lintian_status" = 0 ] || fail "lintian ended with status $lintian_status: $(tail -5 "$work/lintian.log")"

installed=yes
apt-get install -y -qq -o DPkg::Lock::Timeout=300 "$deb" >"$work/apt.log" 2>&1 || fail "apt-get install: $(tail -5 "$work/apt.log")"
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|; s|/$||' | grep -v '^/*$' >"$work/files"
for path in "$hack" /usr/bin/lumivane-config /usr/lib/lumivane/main.pak \
  /usr/share/xscreensaver/config/lumivane.xml /usr/share/man/man6/lumivane.6.gz \
  /usr/lib/systemd/user/lumivane-idle.service; do
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

# The administrator's settings go to the system-wide file, written under root's usual umask 077;
# a user without their own, really unprivileged, reads them.
(umask 077 && lumivane-config --set showFrameRate=true) | grep -q "^file=$shared/nobrell_Lumivane_cfg\$" ||
  fail "root's lumivane-config did not write the system-wide file"
user_home=$(mktemp -d -t lumivane-deb-home-XXXXXX)
chown nobody:nogroup "$user_home"
shown=$(setpriv --reuid=nobody --regid=nogroup --clear-groups \
  env -u LUMIVANE_DATA -u LUMIVANE_SYSTEM_DATA -u XDG_DATA_HOME HOME="$user_home" lumivane-config --show 2>&1) || true
rm -rf "$user_home"
grep -q '^showFrameRate=true$' <<<"$shown" ||
  fail "user nobody does not see the system-wide settings ($(stat -c '%A %n' "$shared" "$shared"/* | paste -sd ' ' -)): $(grep '^file=' <<<"$shown")"

# What an interrupted write leaves beside the file; the purge must take it too.
: >"$shared/nobrell_Lumivane_cfg.Xq3z9K"
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
[ ! -e "$shared" ] || fail "left behind: $shared ($(ls -A "$shared" | paste -sd ' ' -))"
echo "deb package: ok (screenshot $shot)"
