# A real GNOME Shell Wayland session for one test, sourced after lib.sh:
#     source "$E2E_LIB" "$@"; source "$(dirname "$0")/gnome_session.sh"; gnome_session_start
# gnome-shell runs nested in a private Xvfb with its own Xwayland and the private buses and
# HOME of wayland_session.sh, so nothing of the machine's own desktop is used. Where it cannot
# run, the test is skipped (77) with the reason. Afterwards DISPLAY is the shell's Xwayland and
# WAYLAND_DISPLAY its socket, as a session gives them to the programs it starts;
# GNOME_OUTER_DISPLAY is the Xvfb that shows the shell.
source "$(dirname "${BASH_SOURCE[0]}")/wayland_session.sh"

GNOME_PROBE_SOURCE=$(dirname "${BASH_SOURCE[0]}")/gnome-probe
GNOME_PROBE_UUID=quelvane-probe@tests.quelvane.org
GNOME_PROBE_FILE=$E2E_TMP/windows
GNOME_OUTER_DISPLAY=""
GNOME_SOCKET=""
GNOME_AUTH=""
SESSION_PROBE="cat $GNOME_PROBE_FILE"

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

# Succeeds once the shell has its Wayland socket, its Xwayland and its probe running.
gnome_ready() {
    GNOME_AUTH=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name '.mutter-Xwaylandauth.*' -print -quit)
    [ -S "$XDG_RUNTIME_DIR/$GNOME_SOCKET" ] && [ -n "$GNOME_AUTH" ] && [ -e "$GNOME_PROBE_FILE" ] &&
        [ "$(cut -d ' ' -f 1 "$GNOME_PROBE_FILE" | head -n 1)" = ready ]
}

gnome_session_start() {
    session_prepare gnome-shell
    GNOME_OUTER_DISPLAY=$SESSION_OUTER_DISPLAY
    mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings" "$XDG_DATA_HOME/gnome-shell/extensions"
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
    export XDG_CURRENT_DESKTOP=GNOME QUELVANE_PROBE_FILE=$GNOME_PROBE_FILE

    GNOME_SOCKET=quelvane-e2e-$$
    MUTTER_DEBUG_DUMMY_MODE_SPECS=${SESSION_WIDTH}x$SESSION_HEIGHT setsid gnome-shell --nested --wayland \
        --wayland-display="$GNOME_SOCKET" >"$E2E_OUT/gnome-shell.log" 2>&1 &
    SESSION_COMPOSITOR_PID=$!
    session_wait_compositor gnome_ready 600 gnome-shell "$E2E_OUT/gnome-shell.log" \
        'failed to (open|create|initialize)|no (EGL|GL|usable)|cannot open display|Could not .*(display|EGL)'
    [ -S "$XDG_RUNTIME_DIR/$GNOME_SOCKET" ] || e2e_fail "gnome-shell opened no Wayland socket"
    [ -n "$GNOME_AUTH" ] || e2e_fail "gnome-shell started no Xwayland"
    [ "$(cut -d ' ' -f 1 "$GNOME_PROBE_FILE" | head -n 1)" = ready ] ||
        e2e_fail "the shell did not finish starting (or its probe extension did not load)"

    export WAYLAND_DISPLAY=$GNOME_SOCKET XAUTHORITY=$GNOME_AUTH
    session_use_xwayland
    e2e_log "GNOME Shell on $GNOME_OUTER_DISPLAY: Wayland $WAYLAND_DISPLAY, Xwayland $DISPLAY"
}
