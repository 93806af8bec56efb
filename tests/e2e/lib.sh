# End-to-end harness: drives the real quelvane binary under Xvfb with xdotool, as a person
# would. Sourced by each case:  source "$E2E_LIB" "$@"   (args: binary, output folder).
set -euo pipefail

E2E_BIN=$1
E2E_OUT=$2
E2E_NAME=$(basename "$E2E_OUT")
rm -rf "$E2E_OUT"
mkdir -p "$E2E_OUT"
E2E_TMP=$(mktemp -d)
E2E_XVFB_PID=""
E2E_DBUS_PID=""
E2E_ATSPI_PID=""
E2E_APP_PID=""
E2E_MAIN=""
E2E_READER=$(dirname "${BASH_SOURCE[0]}")/atspi_read.py
export XDG_RUNTIME_DIR=$E2E_TMP/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
# Never the user's own session bus: a program running there would take the test's start.
# e2e_start_atspi brings a private bus; until then there is none.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/no-session-bus"

e2e_log() { echo "[$E2E_NAME] $*" >&2; }

e2e_cleanup() {
    local status=$?
    if [ -n "$E2E_APP_PID" ] && kill -0 "$E2E_APP_PID" 2>/dev/null; then
        kill "$E2E_APP_PID" 2>/dev/null || true
        wait "$E2E_APP_PID" 2>/dev/null || true
    fi
    local pid
    for pid in $E2E_ATSPI_PID $E2E_DBUS_PID; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [ -n "$E2E_XVFB_PID" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null || true
        wait "$E2E_XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$E2E_TMP"
    [ $status -eq 0 ] && e2e_log "passed" || e2e_log "FAILED (screenshots in $E2E_OUT)"
    return $status
}
trap e2e_cleanup EXIT

e2e_fail() {
    e2e_log "FAIL: $*"
    [ -n "${DISPLAY:-}" ] && import -window root "$E2E_OUT/failure.png" 2>/dev/null || true
    # What a screen reader would have found, beside the screenshot.
    if [ -n "$E2E_ATSPI_PID" ] && [ -n "$E2E_APP_PID" ]; then
        e2e_read tree --timeout 2 >"$E2E_OUT/failure-tree.txt" 2>&1 || true
    fi
    exit 1
}

# A private X server at 96 DPI on a display number it picks itself. Without -noreset it resets
# whenever its last client leaves (the accessibility bus launcher connects only for a moment),
# refusing a program that starts just then.
e2e_start_xvfb() {
    local fdfile=$E2E_TMP/display
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 3>"$fdfile" 2>"$E2E_OUT/xvfb.log" &
    E2E_XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$fdfile" ] && break
        sleep 0.05
    done
    [ -s "$fdfile" ] || e2e_fail "Xvfb did not start"
    export DISPLAY=":$(tr -d '[:space:]' <"$fdfile")"
    e2e_log "Xvfb on $DISPLAY"
}

# A private session bus with its own accessibility bus, so that the tests read the program's
# texts as a screen reader does. Call after e2e_start_xvfb and before e2e_start_app. A session
# that started its private bus already (E2E_DBUS_PID) gets the accessibility bus on that one.
e2e_start_atspi() {
    [ -n "$E2E_DBUS_PID" ] || e2e_start_session_bus
    /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$E2E_OUT/atspi.log" 2>&1 &
    E2E_ATSPI_PID=$!
    # Asked by name the bus would start a launcher of its own: wait for ours to own it.
    for _ in $(seq 200); do
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null |
            grep -q 'boolean true' && return 0
        sleep 0.05
    done
    e2e_fail "the accessibility bus did not start"
}

e2e_start_session_bus() {
    local addrfile=$E2E_TMP/dbus-address
    : >"$addrfile"
    dbus-daemon --session --nofork --nosyslog --address="unix:path=$E2E_TMP/session-bus" \
        --print-address=3 3>"$addrfile" 2>"$E2E_OUT/dbus.log" &
    E2E_DBUS_PID=$!
    for _ in $(seq 100); do
        [ -s "$addrfile" ] && break
        sleep 0.05
    done
    [ -s "$addrfile" ] || e2e_fail "the session bus did not start"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$addrfile")
    export DBUS_SESSION_BUS_ADDRESS
}

# Starts the program: VAR=value ... (or env's -u VAR) for its environment, then -- and its
# own arguments.
e2e_start_app() {
    local environment=() a11y=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do
        environment+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    # After the caller's: env takes its options (-u) only before the first assignment.
    [ -n "$E2E_ATSPI_PID" ] && a11y=(QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)
    env "${environment[@]}" "${a11y[@]}" "$E2E_BIN" "$@" >"$E2E_OUT/app.log" 2>&1 &
    E2E_APP_PID=$!
}

# The program started as e2e_start_app starts it (same arguments) on a private X server with
# the accessibility bus, its welcome on the status line and the focus given; E2E_MAIN is its
# window.
e2e_start_main() {
    e2e_start_xvfb
    e2e_start_atspi
    e2e_start_app "$@"
    E2E_MAIN=$(e2e_wait_window "Quelvane Cadrelant Generator")
    e2e_wait_text status equals "Welcome to the Quelvane Cadrelant Generator."
    e2e_focus "$E2E_MAIN"
}

# A character file as the program writes one, CR LF line ends: sixteen numbers of 7, the five
# texts given (name, service group, cover, mutant power, secret society), fifty numbers of 3.
e2e_write_character() {
    local file=$1 text
    shift
    {
        for _ in $(seq 16); do printf '7\r\n'; done
        for text in "$@"; do printf '"%s"\r\n' "$text"; done
        for _ in $(seq 50); do printf '3\r\n'; done
    } >"$file"
}

# Runs the reader on the running program: e2e_read status|message|tree [--equals TEXT ...].
e2e_read() { /usr/bin/python3 "$E2E_READER" --pid "$E2E_APP_PID" "$@"; }

# The text of Main's status line.
e2e_read_status() { e2e_read status || e2e_fail "the status line could not be read" >&2; }

# The text in box $2 (named as a screen reader names it) of the window titled $1.
e2e_read_field() { e2e_read field "$1" "$2" || e2e_fail "box '$2' of '$1' could not be read" >&2; }

# The open message box: one "text: ..." line per text, then one "button: ..." line per button.
e2e_read_message() { e2e_read message || e2e_fail "no message box could be read" >&2; }

# Waits until the status line or the message ($1) meets a condition ($2: equals, contains,
# differs or ends-with) on text $3, within $4 seconds (default 10). Prints nothing.
e2e_wait_text() {
    local what=$1 how=$2 text=$3 timeout=${4:-10}
    local seen=$E2E_TMP/last-read
    e2e_read "$what" "--$how" "$text" --timeout "$timeout" >"$seen" && return 0
    [ -s "$seen" ] && seen="it reads '$(cat "$seen")'" || seen="there is none"
    e2e_fail "waited for the $what to meet '$how $text'; $seen"
}

# Waits until no message box is open, within $1 seconds (default 10).
e2e_wait_message_gone() {
    e2e_read message --gone --timeout "${1:-10}" >/dev/null || e2e_fail "the message did not close"
}

# xdotool's search for the visible window titled $1, the running program's own when one runs:
# a compositor's frame may carry the same title.
e2e_search() {
    local owner=()
    [ -n "$E2E_APP_PID" ] && owner=(--all --pid "$E2E_APP_PID")
    xdotool search "${owner[@]}" --onlyvisible --name "^${1}\$" 2>/dev/null
}

# Prints the id of the visible window whose title is exactly $1; waits up to $2 seconds.
e2e_wait_window() {
    local title=$1 timeout=${2:-10} id
    for _ in $(seq $((timeout * 20))); do
        id=$(e2e_search "$title" | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.05
    done
    e2e_fail "no visible window titled '$title' after ${timeout}s"
}

# Succeeds when no visible window has the title $1 within $2 seconds.
e2e_wait_window_gone() {
    local title=$1 timeout=${2:-10}
    for _ in $(seq $((timeout * 20))); do
        e2e_search "$title" >/dev/null || return 0
        sleep 0.05
    done
    e2e_fail "window '$title' still visible after ${timeout}s"
}

# "x y width height" of a window's inside, in screen pixels.
e2e_geometry() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

e2e_expect_geometry() {
    local id=$1 expected=$2 actual
    actual=$(e2e_geometry "$id")
    [ "$actual" = "$expected" ] || e2e_fail "geometry of $id is '$actual', expected '$expected'"
}

e2e_focus() { xdotool windowfocus --sync "$1"; sleep 0.1; }
e2e_key() { xdotool key --delay 50 "$@"; sleep 0.2; }
e2e_type() { xdotool type --delay 20 "$1"; sleep 0.2; }
# Types a full path into the open file dialog titled $1 and presses Return (or the key $3, as
# Escape to cancel); returns once the dialog is gone.
e2e_choose_file() {
    local dialog
    dialog=$(e2e_wait_window "$1")
    e2e_focus "$dialog"
    e2e_key ctrl+a
    e2e_type "$2"
    e2e_key "${3:-Return}"
    e2e_wait_window_gone "$1"
}
# Clicks at (x, y) pixels inside window $1.
e2e_click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.2; }

e2e_screenshot() { import -window root "$E2E_OUT/$1.png"; }

# Number of pixels that differ between two screenshots. Run it in $(...).
e2e_pixels_changed() {
    local out status=0
    # compare exits 1 when the pictures differ, which is the point here; 2 is its own failure,
    # which must not read as "nothing changed".
    out=$(compare -metric AE "$E2E_OUT/$1.png" "$E2E_OUT/$2.png" null: 2>&1) || status=$?
    if [ "$status" -gt 1 ] || ! [[ $out =~ ^[0-9][0-9.e+]*$ ]]; then
        e2e_fail "could not compare $1 with $2: $out" >&2
    fi
    awk '{print int($1)}' <<<"$out"
}

# Waits for the program to end and sets E2E_EXIT_STATUS. Call it directly, not in $(...):
# only this shell can collect the program's exit status.
e2e_wait_exit() {
    local timeout=${1:-10}
    for _ in $(seq $((timeout * 20))); do
        if ! kill -0 "$E2E_APP_PID" 2>/dev/null; then
            E2E_EXIT_STATUS=0
            wait "$E2E_APP_PID" || E2E_EXIT_STATUS=$?
            E2E_APP_PID=""
            return 0
        fi
        sleep 0.05
    done
    e2e_fail "program still running after ${timeout}s"
}

# Text of the program's log, for messages the program printed.
e2e_app_log() { cat "$E2E_OUT/app.log"; }
