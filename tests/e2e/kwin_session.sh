# A real KWin Wayland session for one test, sourced after lib.sh:
#     source "$E2E_LIB" "$@"; source "$(dirname "$0")/kwin_session.sh"; kwin_session_start
# kwin_wayland runs nested in a private Xvfb with its own Xwayland and the private buses and
# HOME of wayland_session.sh. Where a window is, which is on top and which has the focus, KWin
# alone knows: its scripting interface answers, over the session bus, with a small script run
# for each question. Where KWin cannot start, the test is skipped (77) with the reason.
source "$(dirname "${BASH_SOURCE[0]}")/wayland_session.sh"

KWIN_LOG=""
KWIN_SOCKET=""
SESSION_PROBE=kwin_probe

# One run of a script inside KWin that prints the probe's lines, each behind a mark of its
# own; KWin's log (its standard error) carries them.
kwin_probe() {
    local answer
    # A question KWin did not answer is asked again, never read as "no windows".
    for _ in 1 2 3 4 5; do
        answer=$(kwin_ask)
        [ "$(head -n 1 <<<"$answer" | cut -d ' ' -f 1)" = ready ] && { echo "$answer"; return 0; }
    done
    return 0
}
kwin_ask() {
    local mark script name
    mark=probe-$BASHPID-$RANDOM$RANDOM
    script=$E2E_TMP/$mark.js
    name=quelvane-$mark
    cat >"$script" <<EOS
(function () {
    const mark = "$mark ";
    // KWin 6 lists windows bottom first; KWin 5 gives each its place in the stack.
    const all = workspace.stackingOrder !== undefined ? workspace.stackingOrder
        : workspace.clientList().slice().sort((a, b) => a.stackingOrder - b.stackingOrder);
    const active = workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient;
    const lines = ["ready " + Math.round(workspace.cursorPos.x) + " " + Math.round(workspace.cursorPos.y)];
    for (const w of all) {
        if (w.deleted || w.hidden || w.minimized || !w.managed)
            continue;
        const f = w.frameGeometry;
        // KWin 6 tells scripts no window's kind: "unknown" there.
        const client = w.windowId === undefined ? "unknown" : w.windowId ? "x11" : "wayland";
        lines.push([client, Math.round(f.x), Math.round(f.y),
            Math.round(f.width), Math.round(f.height), w === active ? "focus" : "-", w.pid,
            (w.caption || "(untitled)").replace(/\n/g, " ")].join(" "));
    }
    lines.push("end");
    for (const line of lines)
        print(mark + line);
})();
EOS
    dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
        org.kde.kwin.Scripting.loadScript string:"$script" string:"$name" >/dev/null 2>&1 || return 0
    dbus-send --session --print-reply --dest=org.kde.KWin /Scripting org.kde.kwin.Scripting.start >/dev/null 2>&1 || return 0
    for _ in $(seq 100); do
        grep -q -F "$mark end" "$KWIN_LOG" && break
        sleep 0.02
    done
    dbus-send --session --dest=org.kde.KWin /Scripting \
        org.kde.kwin.Scripting.unloadScript string:"$name" >/dev/null 2>&1 || true
    rm -f "$script"
    grep -F "$mark " "$KWIN_LOG" | sed "s/^.*$mark //" | grep -v -x end || true
}

# x11 or wayland: the kind of the program's window titled $1, from KWin where it tells, else
# from whether Xwayland has it.
kwin_client() {
    local client
    client=$(session_window "$1" | cut -d ' ' -f 1)
    if [ "$client" = unknown ]; then
        if [ -n "$(e2e_search "$1")" ]; then client=x11; else client=wayland; fi
    fi
    echo "$client"
}

# Succeeds once KWin has its Wayland socket and its scripting answers.
kwin_ready() {
    [ -S "$XDG_RUNTIME_DIR/$KWIN_SOCKET" ] && [ "$(kwin_ask | head -n 1 | cut -d ' ' -f 1)" = ready ]
}

kwin_session_start() {
    session_prepare kwin_wayland
    local kwin
    kwin=$(command -v kwin_wayland)
    # The package gives KWin the right to raise its own limits; where this process's bounding
    # set lacks it, the kernel refuses to start that file at all. A copy carries no such right.
    local status=0
    "$kwin" --help >/dev/null 2>&1 </dev/null || status=$?
    if [ $status -eq 126 ]; then
        cp "$kwin" "$E2E_TMP/kwin_wayland"
        kwin=$E2E_TMP/kwin_wayland
        e2e_log "kwin_wayland may not raise its limits here: a copy without that right runs"
    fi
    KWIN_SOCKET=quelvane-e2e-$$
    KWIN_LOG=$E2E_OUT/kwin.log
    export XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=6
    # Scripts' print() goes to KWin's debug log, and that to standard error.
    QT_LOGGING_RULES='kwin_scripting.debug=true' QT_FORCE_STDERR_LOGGING=1 \
        setsid "$kwin" --xwayland --socket "$KWIN_SOCKET" --width "$SESSION_WIDTH" --height "$SESSION_HEIGHT" \
        --no-lockscreen --no-global-shortcuts >"$KWIN_LOG" 2>&1 &
    SESSION_COMPOSITOR_PID=$!
    session_wait_compositor kwin_ready 300 kwin_wayland "$KWIN_LOG" \
        'failed to (open|create|initialize)|no (EGL|GL|usable)|cannot open display|could not (open|connect|create)|FATAL'
    [ -S "$XDG_RUNTIME_DIR/$KWIN_SOCKET" ] || e2e_fail "kwin_wayland opened no Wayland socket"
    kwin_ready || e2e_fail "KWin's scripting did not answer (see kwin.log)"

    export WAYLAND_DISPLAY=$KWIN_SOCKET
    local auth
    auth=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name 'xauth_*' -print -quit)
    [ -z "$auth" ] || export XAUTHORITY=$auth
    session_use_xwayland
    e2e_log "KWin on $SESSION_OUTER_DISPLAY: Wayland $WAYLAND_DISPLAY, Xwayland $DISPLAY"
}
