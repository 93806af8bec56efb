# What the nested Wayland sessions (gnome_session.sh, kwin_session.sh) share, sourced after
# lib.sh: a compositor in a private Xvfb, a private session bus and a second bus standing in
# for the system bus, a throwaway HOME, and a probe inside the compositor that lists the
# windows. The session file sets SESSION_PROBE to a command that prints, on its first line,
# "ready X Y" (X Y: the pointer) once the compositor is ready, then one line per shown window,
# bottom of the stack first:
#   client x y width height focus|- pid title      (client: x11 or wayland)

SESSION_COMPOSITOR_PID=""
SESSION_SYSTEM_BUS_PID=""
SESSION_OUTER_DISPLAY=""
SESSION_PROBE=""
# The compositor's screen: its top-left corner is at 0,0 of the Xvfb.
SESSION_WIDTH=1280
SESSION_HEIGHT=1024

session_skip() {
    e2e_log "SKIPPED: $*"
    exit 77
}

session_stop() {
    local pid
    # The compositor leads its own process group, with its Xwayland and whatever it started.
    if [ -n "$SESSION_COMPOSITOR_PID" ]; then
        kill -- "-$SESSION_COMPOSITOR_PID" 2>/dev/null || true
        wait "$SESSION_COMPOSITOR_PID" 2>/dev/null || true
    fi
    for pid in $SESSION_SYSTEM_BUS_PID; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
# set +e: under errexit the replayed failure status would end the trap before e2e_cleanup.
trap 'session_status=$?; set +e; session_stop; (exit $session_status); e2e_cleanup' EXIT

# A bus of our own from a configuration file: no service is started on demand, so no daemon
# of the machine's desktop joins the session.
session_start_bus() {
    local kind=$1 config=$E2E_TMP/$1-bus.conf addrfile=$E2E_TMP/$1-bus.address
    cat >"$config" <<EOB
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>$kind</type>
  <listen>unix:path=$E2E_TMP/$kind-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
    <allow user="*"/>
  </policy>
</busconfig>
EOB
    : >"$addrfile"
    dbus-daemon --config-file="$config" --nofork --nosyslog --print-address=3 \
        3>"$addrfile" 2>>"$E2E_OUT/dbus-$kind.log" &
    SESSION_LAST_BUS_PID=$!
    for _ in $(seq 100); do
        [ -s "$addrfile" ] && break
        sleep 0.05
    done
    [ -s "$addrfile" ] || e2e_fail "the $kind bus did not start"
}

# $@: the tools the compositor's session needs beyond the shared ones. Skips where one is
# missing; starts the Xvfb, the throwaway HOME and both buses.
session_prepare() {
    local tool
    for tool in "$@" Xwayland Xvfb dbus-daemon dbus-send xdotool xwininfo import setsid; do
        command -v "$tool" >/dev/null || session_skip "$tool is not installed (scripts/install-deps.sh test)"
    done
    local plugins
    plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
    [ -e "$plugins/platforms/libqwayland-generic.so" ] ||
        session_skip "Qt's Wayland platform plugin is not installed (qt6-wayland)"

    e2e_start_xvfb
    SESSION_OUTER_DISPLAY=$DISPLAY

    export HOME=$E2E_TMP/home XDG_CONFIG_HOME=$E2E_TMP/home/.config
    export XDG_DATA_HOME=$E2E_TMP/home/.local/share XDG_CACHE_HOME=$E2E_TMP/home/.cache
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    unset QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS XDG_SESSION_TYPE XAUTHORITY

    session_start_bus system
    SESSION_SYSTEM_BUS_PID=$SESSION_LAST_BUS_PID
    DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$E2E_TMP/system-bus.address")
    session_start_bus session
    E2E_DBUS_PID=$SESSION_LAST_BUS_PID
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$E2E_TMP/session-bus.address")
    export DBUS_SYSTEM_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
}

# Waits until the command $1 says the compositor is ready, for up to $2 tenths of a second or
# until the compositor ends. Where it ended, a line of its log $4 that matches $5 (a reason it
# cannot run here) skips the test; any other end fails it. $3 names the compositor.
session_wait_compositor() {
    local ready=$1 tries=$2 name=$3 log=$4 cannot=$5 why
    for _ in $(seq "$tries"); do
        kill -0 "$SESSION_COMPOSITOR_PID" 2>/dev/null || break
        $ready && return 0
        sleep 0.1
    done
    # Still running but not ready: the caller's checks say what is missing.
    kill -0 "$SESSION_COMPOSITOR_PID" 2>/dev/null && return 0
    # Only what the compositor itself says cannot work here is a reason to skip.
    why=$(grep -m 1 -E -i "$cannot" "$log" || true)
    [ -n "$why" ] && session_skip "$name cannot run here: $why"
    e2e_fail "$name ended at start (see $(basename "$log"))"
}

# Sets DISPLAY to the X display the compositor serves through Xwayland: the one whose lock
# file names a process of the compositor's group (Xwayland itself, or the compositor where it
# starts Xwayland only when the first X client comes).
session_use_xwayland() {
    local lock pid
    DISPLAY=""
    for _ in $(seq 100); do
        for lock in /tmp/.X*-lock; do
            pid=$(tr -d ' \n' <"$lock" 2>/dev/null || true)
            [ -n "$pid" ] && [ "$(ps -o pgid= -p "$pid" 2>/dev/null | tr -d ' ')" = "$SESSION_COMPOSITOR_PID" ] || continue
            lock=${lock#/tmp/.X}
            DISPLAY=:${lock%-lock}
        done
        [ -n "$DISPLAY" ] && break
        sleep 0.1
    done
    [ -n "$DISPLAY" ] || e2e_fail "the compositor serves no X display (no Xwayland)"
    export DISPLAY
    for _ in $(seq 100); do
        xwininfo -root >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    e2e_fail "Xwayland on $DISPLAY cannot be reached"
}

session_probe() { $SESSION_PROBE; }

# The probe's lines for the program's shown windows, bottom of the stack first: the owner
# and the title find a window, as a frame or a compositor's own window may carry the title.
session_windows() {
    session_probe | tail -n +2 | awk -v pid="$E2E_APP_PID" '$7 == pid'
}

# "client x y width height" of the program's shown window titled $1; nothing when none is.
session_window() {
    session_windows | awk -v title="$1" '{ t = $8; for (i = 9; i <= NF; ++i) t = t " " $i }
        t == title { print $1, $2, $3, $4, $5; exit }'
}

# Titles of the program's topmost window and of the one with the focus ("" when none has it).
session_top() { session_windows | tail -n 1 | cut -d ' ' -f 8-; }
session_focus() { session_windows | awk '$6 == "focus"' | cut -d ' ' -f 8-; }

# Waits until the shell command $1 succeeds, within $3 seconds (default 10); $2 says what it
# expects, and a failure lists the program's windows as the compositor saw them.
session_wait() {
    local check=$1 what=$2 timeout=${3:-10}
    for _ in $(seq $((timeout * 10))); do
        eval "$check" && return 0
        sleep 0.1
    done
    e2e_fail "waited for: $what; the program's windows, bottom first: $(session_windows | tr '\n' ';')"
}

# Input as a person gives it: through the Xvfb that shows the compositor, so the compositor
# routes it; positions are the compositor's screen pixels. Each ends by moving the pointer to a
# corner, in turn one of two, and waits until the compositor reports it there: by then it has
# handled the input before it, and what the probe reports next shows its effect.
SESSION_MARKS=0
session_input() {
    SESSION_MARKS=$((SESSION_MARKS + 1))
    local mark_x=$((SESSION_WIDTH - 1)) mark_y=$((SESSION_HEIGHT - 1 - SESSION_MARKS % 2))
    DISPLAY=$SESSION_OUTER_DISPLAY xdotool "$@" mousemove --sync "$mark_x" "$mark_y"
    session_wait '[ "$(session_probe | head -n 1 | cut -d " " -f 2-)" = "$mark_x $mark_y" ]' \
        "the compositor to handle the input ($*)"
}
session_click() { session_input mousemove --sync "$1" "$2" click 1; }
session_key() { session_input key --delay 50 "$@"; }

# Exit's access key, then the program must end with status 0.
session_stop_app() {
    session_key alt+x
    e2e_wait_exit
    [ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit ended the program with status $E2E_EXIT_STATUS"
}

# A picture of the compositor's screen, for people to look at (no check reads it). The
# compositor paints a little after it maps a window: shoot until two pictures in a row agree.
session_screenshot() {
    local shot=$E2E_OUT/$1.png previous=$E2E_TMP/previous-shot.png
    DISPLAY=$SESSION_OUTER_DISPLAY import -window root "$previous"
    for _ in $(seq 20); do
        sleep 0.3
        DISPLAY=$SESSION_OUTER_DISPLAY import -window root "$shot"
        [ "$(compare -metric AE "$previous" "$shot" null: 2>&1)" = 0 ] && return 0
        cp "$shot" "$previous"
    done
    e2e_log "the screen did not settle for the picture $1"
}
