# A real GNOME Shell Wayland session for one test, sourced after lib.sh:
#     source "$E2E_LIB" "$@"; source "$(dirname "$0")/gnome_session.sh"; gnome_session_start
# gnome-shell runs nested in a private Xvfb with its own Xwayland, a private session bus, a
# second bus standing in for the system bus and a throwaway HOME, so nothing of the machine's
# own desktop is used. Where it cannot run, the test is skipped (77) with the reason.
# Afterwards DISPLAY is the shell's Xwayland and WAYLAND_DISPLAY its socket, as a session
# gives them to the programs it starts; GNOME_OUTER_DISPLAY is the Xvfb that shows the shell.

GNOME_PROBE_SOURCE=$(dirname "${BASH_SOURCE[0]}")/gnome-probe
GNOME_PROBE_UUID=quelvane-probe@tests.quelvane.org
GNOME_PROBE_FILE=$E2E_TMP/windows
GNOME_SHELL_PID=""
GNOME_SYSTEM_BUS_PID=""
GNOME_OUTER_DISPLAY=""
# The shell's screen: its top-left corner is at 0,0 of the Xvfb.
GNOME_SCREEN=1280x1024

gnome_session_skip() {
    e2e_log "SKIPPED: $*"
    exit 77
}

gnome_session_stop() {
    local pid
    # The shell leads its own process group, with its Xwayland and whatever it started.
    if [ -n "$GNOME_SHELL_PID" ]; then
        kill -- "-$GNOME_SHELL_PID" 2>/dev/null || true
        wait "$GNOME_SHELL_PID" 2>/dev/null || true
    fi
    for pid in $GNOME_SYSTEM_BUS_PID; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
# set +e: under errexit the replayed failure status would end the trap before e2e_cleanup.
trap 'gnome_status=$?; set +e; gnome_session_stop; (exit $gnome_status); e2e_cleanup' EXIT

# A bus of our own from a configuration file: no service is started on demand, so no daemon
# of the machine's desktop joins the session. Prints the bus's address.
gnome_start_bus() {
    local kind=$1 config=$E2E_TMP/$1-bus.conf addrfile=$E2E_TMP/$1-bus.address
    cat >"$config" <<EOF
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
EOF
    : >"$addrfile"
    dbus-daemon --config-file="$config" --nofork --nosyslog --print-address=3 \
        3>"$addrfile" 2>>"$E2E_OUT/dbus-$kind.log" &
    GNOME_LAST_BUS_PID=$!
    for _ in $(seq 100); do
        [ -s "$addrfile" ] && break
        sleep 0.05
    done
    [ -s "$addrfile" ] || e2e_fail "the $kind bus did not start"
}

# The probe extension in folder $1, in the form the installed shell loads: a script with
# init() up to GNOME 44, an ES module from 45 on.
gnome_install_probe() {
    local version
    version=$(gnome-shell --version | grep -o -m 1 '[0-9][0-9]*' | head -n 1)
    [ -n "$version" ] || e2e_fail "gnome-shell --version names no version"
    mkdir -p "$1"
    cp "$GNOME_PROBE_SOURCE/metadata.json" "$1/"
    if [ "$version" -lt 45 ]; then
        {
            echo "const { GLib, Meta } = imports.gi;"
            echo "const Main = imports.ui.main;"
            cat "$GNOME_PROBE_SOURCE/probe.js"
            echo "function init() {}"
            echo "function enable() { probeEnable(); }"
            echo "function disable() { probeDisable(); }"
        } >"$1/extension.js"
    else
        {
            echo "import GLib from 'gi://GLib';"
            echo "import Meta from 'gi://Meta';"
            echo "import * as Main from 'resource:///org/gnome/shell/ui/main.js';"
            echo "import { Extension } from 'resource:///org/gnome/shell/extensions/extension.js';"
            cat "$GNOME_PROBE_SOURCE/probe.js"
            echo "export default class QuelvaneProbe extends Extension {"
            echo "    enable() { probeEnable(); }"
            echo "    disable() { probeDisable(); }"
            echo "}"
        } >"$1/extension.js"
    fi
    e2e_log "GNOME Shell $version: the probe as $([ "$version" -lt 45 ] && echo a script || echo an ES module)"
}

gnome_session_start() {
    local tool
    for tool in gnome-shell Xwayland Xvfb dbus-daemon xdotool xwininfo import setsid; do
        command -v "$tool" >/dev/null || gnome_session_skip "$tool is not installed (scripts/install-deps.sh test)"
    done
    local plugins
    plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
    [ -e "$plugins/platforms/libqwayland-generic.so" ] ||
        gnome_session_skip "Qt's Wayland platform plugin is not installed (qt6-wayland)"

    e2e_start_xvfb
    GNOME_OUTER_DISPLAY=$DISPLAY

    export HOME=$E2E_TMP/home XDG_CONFIG_HOME=$E2E_TMP/home/.config
    export XDG_DATA_HOME=$E2E_TMP/home/.local/share XDG_CACHE_HOME=$E2E_TMP/home/.cache
    mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings" "$XDG_DATA_HOME/gnome-shell/extensions" "$XDG_CACHE_HOME"
    gnome_install_probe "$XDG_DATA_HOME/gnome-shell/extensions/$GNOME_PROBE_UUID"
    export GSETTINGS_BACKEND=keyfile
    cat >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile" <<EOF
[org/gnome/shell]
welcome-dialog-last-shown-version='999'
enabled-extensions=['$GNOME_PROBE_UUID']
disable-user-extensions=false
disable-extension-version-validation=true

[org/gnome/desktop/interface]
enable-animations=false

[org/gnome/desktop/notifications]
show-banners=false
EOF
    unset QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS XDG_SESSION_TYPE XAUTHORITY
    export XDG_CURRENT_DESKTOP=GNOME QUELVANE_PROBE_FILE=$GNOME_PROBE_FILE

    gnome_start_bus system
    GNOME_SYSTEM_BUS_PID=$GNOME_LAST_BUS_PID
    DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$E2E_TMP/system-bus.address")
    gnome_start_bus session
    E2E_DBUS_PID=$GNOME_LAST_BUS_PID
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$E2E_TMP/session-bus.address")
    export DBUS_SYSTEM_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS

    local socket=quelvane-e2e-$$
    MUTTER_DEBUG_DUMMY_MODE_SPECS=$GNOME_SCREEN setsid gnome-shell --nested --wayland \
        --wayland-display="$socket" >"$E2E_OUT/gnome-shell.log" 2>&1 &
    GNOME_SHELL_PID=$!

    local auth=""
    for _ in $(seq 600); do
        kill -0 "$GNOME_SHELL_PID" 2>/dev/null || break
        auth=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name '.mutter-Xwaylandauth.*' -print -quit)
        [ -S "$XDG_RUNTIME_DIR/$socket" ] && [ -n "$auth" ] && [ -e "$GNOME_PROBE_FILE" ] &&
            [ "$(cut -d ' ' -f 1 "$GNOME_PROBE_FILE" | head -n 1)" = ready ] && break
        sleep 0.1
    done
    if ! kill -0 "$GNOME_SHELL_PID" 2>/dev/null; then
        # Only what the shell itself says cannot work here is a reason to skip.
        local why
        why=$(grep -m 1 -E -i 'failed to (open|create|initialize)|no (EGL|GL|usable)|cannot open display|Could not .*(display|EGL)' \
            "$E2E_OUT/gnome-shell.log" || true)
        [ -n "$why" ] && gnome_session_skip "gnome-shell cannot run here: $why"
        e2e_fail "gnome-shell ended at start (see gnome-shell.log)"
    fi
    [ -S "$XDG_RUNTIME_DIR/$socket" ] || e2e_fail "gnome-shell opened no Wayland socket"
    [ -n "$auth" ] || e2e_fail "gnome-shell started no Xwayland"
    [ "$(cut -d ' ' -f 1 "$GNOME_PROBE_FILE" | head -n 1)" = ready ] ||
        e2e_fail "the shell did not finish starting (or its probe extension did not load)"

    export WAYLAND_DISPLAY=$socket XAUTHORITY=$auth
    # Xwayland's display: the first argument of the shell's Xwayland.
    local xwayland_pid
    xwayland_pid=$(pgrep -g "$GNOME_SHELL_PID" -x Xwayland | head -n 1)
    [ -n "$xwayland_pid" ] || e2e_fail "no Xwayland in the shell's process group"
    DISPLAY=$(tr '\0' '\n' <"/proc/$xwayland_pid/cmdline" | grep -m 1 -x ':[0-9]*' || true)
    [ -n "$DISPLAY" ] || e2e_fail "the display of Xwayland ($xwayland_pid) was not found"
    export DISPLAY
    xwininfo -root >/dev/null 2>&1 || e2e_fail "Xwayland on $DISPLAY cannot be reached"
    e2e_log "GNOME Shell on $GNOME_OUTER_DISPLAY: Wayland $WAYLAND_DISPLAY, Xwayland $DISPLAY"
}

# The probe's lines for the program's shown windows, bottom of the stack first.
gnome_windows() {
    tail -n +2 "$GNOME_PROBE_FILE" | awk -v pid="$E2E_APP_PID" '$7 == pid'
}

# "client x y width height" of the program's shown window titled $1; nothing when none is.
gnome_window() {
    gnome_windows | awk -v title="$1" '{ t = $8; for (i = 9; i <= NF; ++i) t = t " " $i }
        t == title { print $1, $2, $3, $4, $5; exit }'
}

# Titles of the program's topmost window and of the one with the focus ("" when none has it).
gnome_top() { gnome_windows | tail -n 1 | cut -d ' ' -f 8-; }
gnome_focus() { gnome_windows | awk '$6 == "focus"' | cut -d ' ' -f 8-; }

# Waits until the shell command $1 succeeds, within $3 seconds (default 10); $2 says what it
# expects, and a failure lists the program's windows as the shell saw them.
gnome_wait() {
    local check=$1 what=$2 timeout=${3:-10}
    for _ in $(seq $((timeout * 10))); do
        eval "$check" && return 0
        sleep 0.1
    done
    e2e_fail "waited for: $what; the program's windows, bottom first: $(gnome_windows | tr '\n' ';')"
}

# Input as a person gives it: through the Xvfb that shows the shell, so the compositor routes
# it; positions are the shell's screen pixels. Each ends by moving the pointer to a corner,
# in turn one of two, and waits until the shell reports it there: by then the shell has
# handled the input before it, and what the probe writes next shows its effect.
GNOME_MARKS=0
gnome_input() {
    GNOME_MARKS=$((GNOME_MARKS + 1))
    local mark_y=$((1023 - GNOME_MARKS % 2))
    DISPLAY=$GNOME_OUTER_DISPLAY xdotool "$@" mousemove --sync 1279 "$mark_y"
    gnome_wait '[ "$(head -n 1 "$GNOME_PROBE_FILE" | cut -d " " -f 2-)" = "1279 $mark_y" ]' \
        "the shell to handle the input ($*)"
}
gnome_click() { gnome_input mousemove --sync "$1" "$2" click 1; }
gnome_key() { gnome_input key --delay 50 "$@"; }

# A picture of the shell's screen, for people to look at (no check reads it). The shell paints
# a little after it maps a window: shoot until two pictures in a row are the same.
gnome_screenshot() {
    local shot=$E2E_OUT/$1.png previous=$E2E_TMP/previous-shot.png
    DISPLAY=$GNOME_OUTER_DISPLAY import -window root "$previous"
    for _ in $(seq 20); do
        sleep 0.3
        DISPLAY=$GNOME_OUTER_DISPLAY import -window root "$shot"
        [ "$(compare -metric AE "$previous" "$shot" null: 2>&1)" = 0 ] && return 0
        cp "$shot" "$previous"
    done
    e2e_log "the screen did not settle for the picture $1"
}
