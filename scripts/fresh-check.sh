#!/usr/bin/env bash
# The README's two commands on a clean Debian 12 (bookworm, the default) or 13 (trixie), made here:
# a minimal root from debootstrap (one kept in the cache folder for each release between runs;
# --fresh makes it again), a copy of it with the committed
# tree (git archive HEAD) inside, then, in that copy, with nothing preinstalled and no display:
#   1. the test command, scripts/test.sh, with CI=true;
#   2. the run command, scripts/run.sh, on an Xvfb started for it: the scene must show, and SIGTERM
#      must end the saver with status 0.
# Prints the time taken and the test totals; exits non-zero when anything failed. Run as root.
#   scripts/fresh-check.sh [--fresh] [bookworm|trixie]   (FRESH_CHECK_CACHE: another cache folder)
set -euo pipefail
cd "$(dirname "$0")/.."
# Real paths throughout: /proc/mounts and /proc/PID/root name the copy without symbolic links, and
# a copy that the clean-up fails to recognise keeps a live /dev mounted inside it.
repo=$(pwd -P)

if [ "$(id -u)" -ne 0 ]; then
    echo "fresh-check.sh: must run as root (debootstrap, chroot and mount need it)" >&2
    exit 1
fi
fresh=0
release=bookworm
for arg in "$@"; do
    case $arg in
    --fresh) fresh=1 ;;
    bookworm | trixie) release=$arg ;;
    *)
        echo "usage: scripts/fresh-check.sh [--fresh] [bookworm|trixie]" >&2
        exit 2
        ;;
    esac
done

cache=${FRESH_CHECK_CACHE:-$repo/.cache/fresh-check}
mkdir -p "$cache"
cache=$(realpath "$cache")
base=$cache/$release       # debootstrap's root, never changed once made
target=$cache/run-$release # this run's copy of it
started=$(date +%s)

elapsed() {
    local s=$(($(date +%s) - started))
    printf '%d min %02d s' $((s / 60)) $((s % 60))
}

# mounts_under FOLDER: the mount points at or below FOLDER (a real path), deepest first, one a
# line. /proc/mounts writes a space, tab, newline and backslash in octal.
mounts_under() {
    awk -v t="$1" '{
        p = $2
        gsub(/\\040/, " ", p); gsub(/\\011/, "\t", p); gsub(/\\012/, "\n", p); gsub(/\\134/, "\\", p)
        if (p == t || index(p, t "/") == 1) print p
    }' /proc/mounts | sort -r
}

# remove FOLDER: deletes it, but never while something is mounted below it (a bind-mounted /dev
# would go with it), and never beyond its own file system.
remove() {
    local left
    left=$(mounts_under "$1" | paste -sd ' ' -)
    if [ -n "$left" ]; then
        echo "fresh check: not removing $1: still mounted below it: $left" >&2
        exit 1
    fi
    rm -rf --one-file-system "$1"
}

# Ends whatever still runs inside the copy (a server, Wine, a saver), then takes its mounts down.
cleanup() {
    local pid root pids=()
    for pid in /proc/[0-9]*; do
        root=$(readlink "$pid/root" 2>/dev/null) || continue
        case $root in
        "$target" | "$target"/*) pids+=("${pid#/proc/}") ;;
        esac
    done
    if [ ${#pids[@]} -gt 0 ]; then
        kill -TERM "${pids[@]}" 2>/dev/null || true
        sleep 2
        kill -KILL "${pids[@]}" 2>/dev/null || true
    fi
    local point
    mounts_under "$target" | while IFS= read -r point; do
        umount "$point" 2>/dev/null || umount -l "$point" 2>/dev/null || true
    done
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The mirrors that apt on this machine uses: the same archive serves every release.
sites=$(apt-get indextargets --format '$(SITE) $(CODENAME)' 'Created-By: Packages' 2>/dev/null)
mirror=${FRESH_CHECK_MIRROR:-$(awk '$2 !~ /-/ { print $1; exit }' <<<"$sites")}
mirror=${mirror:-http://deb.debian.org/debian}
security=$(awk '$2 ~ /-security$/ { print $1; exit }' <<<"$sites")

if [ "$fresh" = 1 ] || [ ! -f "$base/.complete" ]; then
    scripts/install-deps.sh debootstrap
    # A debootstrap that was cut short may have left its own mounts in the partial root.
    remove "$base"
    remove "$base.partial"
    echo "== debootstrap --variant=minbase $release from $mirror into $base"
    log=$cache/debootstrap-$release.log
    if ! debootstrap --variant=minbase "$release" "$base.partial" "$mirror" >"$log" 2>&1; then
        tail -n 20 "$log"
        echo "fresh check: debootstrap failed after $(elapsed); the log is $log"
        exit 1
    fi
    mv "$base.partial" "$base"
    touch "$base/.complete"
else
    echo "== the minimal root in $base (cached; --fresh makes it again)"
fi

# A fresh copy for this run.
cleanup
remove "$target"
cp -a "$base" "$target"
rm -f "$target/.complete"
# A Debian machine as installed: its updates and security archives beside the main one.
{
    echo "deb $mirror $release main"
    echo "deb $mirror $release-updates main"
    [ -z "$security" ] || echo "deb $security $release-security main"
} >"$target/etc/apt/sources.list"
cp /etc/resolv.conf "$target/etc/resolv.conf"
# Packages must not start their services on this machine from inside the copy.
printf '#!/bin/sh\nexit 101\n' >"$target/usr/sbin/policy-rc.d"
chmod +x "$target/usr/sbin/policy-rc.d"
mkdir -p "$target/root/lumivane"
git archive HEAD | tar -x -C "$target/root/lumivane"
echo "== the committed tree ($(git rev-parse --short HEAD)) in $target/root/lumivane"

mount -t proc proc "$target/proc"
mount -t sysfs sysfs "$target/sys"
mount --rbind /dev "$target/dev"
mount --make-rslave "$target/dev"

# inside COMMAND: runs COMMAND in the copy's tree with a clean environment and no display.
inside() {
    chroot "$target" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb CI=true \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        /bin/bash -c "cd /root/lumivane && $1"
}

failed=0
echo "== the test command (scripts/test.sh), output in $cache/test-$release.log"
test_status=0
inside "nice scripts/test.sh" >"$cache/test-$release.log" 2>&1 || test_status=$?
if [ "$test_status" -ne 0 ]; then
    tail -n 60 "$cache/test-$release.log"
    echo "FAIL: scripts/test.sh ended with status $test_status"
    failed=1
fi

echo "== the run command (scripts/run.sh) on an Xvfb, output in $cache/run-$release.log"
run_status=0
inside "nice bash scripts/fresh-run-check.bash /root/run-screen.png" >"$cache/run-$release.log" 2>&1 || run_status=$?
cp "$target/root/run-screen.png" "$cache/run-screen-$release.png" 2>/dev/null || true
tail -n 3 "$cache/run-$release.log"
if [ "$run_status" -ne 0 ]; then
    tail -n 30 "$cache/run-$release.log"
    echo "FAIL: the run command check ended with status $run_status (screenshot: $cache/run-screen-$release.png)"
    failed=1
fi

echo "== totals"
grep -E "tests passed|tests failed out of|^[0-9]+ passed, [0-9]+ failed|^fuzzing: |^Total Test time" "$cache/test-$release.log" || true
if [ "$failed" -eq 0 ]; then
    echo "fresh check ($release): passed in $(elapsed)"
else
    echo "fresh check ($release): FAILED after $(elapsed)"
fi
exit "$failed"
