# Starts a private Xvfb on the first free display and exports DISPLAY; sourced, not run.
#   start_xvfb [FIRST [SCREEN]]   sets xvfb_pid; SCREEN is WxHxDEPTH (1024x768x24 by default);
#                                 the caller ends it (stop_xvfb) on every exit path
# A display counts as taken when its lock file or socket exists, or when its abstract socket is in
# use: that one is shared by every root on the machine (a chroot sees the host's), and Xlib tries it
# first, so a second server there would silently hand our clients to someone else's screen.
xvfb_pid=""

display_taken() {
    [ -e "/tmp/.X$1-lock" ] || [ -e "/tmp/.X11-unix/X$1" ] ||
        grep -q "@/tmp/.X11-unix/X$1\$" /proc/net/unix 2>/dev/null
}

# The lock file holds the server's pid: it proves that the server which answers is ours and not
# one that another run started on the same number a moment earlier.
xvfb_is_ours() {
    [ "$(cat "/tmp/.X$1-lock" 2>/dev/null | tr -d ' \n')" = "$xvfb_pid" ]
}

start_xvfb() {
    local number=${1:-90} screen=${2:-1024x768x24} tries=0 tenths
    while [ "$tries" -lt 20 ]; do
        while display_taken "$number"; do number=$((number + 1)); done
        # -noreset: the server otherwise restarts when its last client leaves and refuses the next
        # one meanwhile.
        Xvfb ":$number" -screen 0 "$screen" -nolisten tcp -noreset >/dev/null 2>&1 &
        xvfb_pid=$!
        # A loaded machine may need a while; a server that lost the number to another run ends at once.
        for tenths in $(seq 300); do
            kill -0 "$xvfb_pid" 2>/dev/null || break
            if xvfb_is_ours "$number" && DISPLAY=:$number xdpyinfo >/dev/null 2>&1; then
                export DISPLAY=:$number
                return 0
            fi
            sleep 0.1
        done
        stop_xvfb
        echo "Xvfb :$number did not answer (after $((tenths / 10)) s); trying the next display" >&2
        number=$((number + 1))
        tries=$((tries + 1))
    done
    echo "no X server could be started" >&2
    return 1
}

stop_xvfb() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    fi
}
