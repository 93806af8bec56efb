#!/usr/bin/env bash
# The program as a screen-reader user meets it over AT-SPI: Main is a frame, the about box
# and a message box dialogs or alerts, each with its name; and Orca itself speaks
# the new status line after Generate while the focus stays on the Generate button.
source "$E2E_LIB" "$@"

MAIN="Quelvane Cadrelant Generator"
ABOUT="About $MAIN"
UNAVAILABLE="System Information Is Unavailable At This Time"

# Waits until the program's windows on the screen, as "role: name" lines, include line $1.
wait_window_role() {
    e2e_read windows --contains "$1" --timeout 10 >/dev/null ||
        e2e_fail "no window '$1'; the screen reader finds: $(e2e_read windows --timeout 1 | tr '\n' ';')"
}

# Orca's settings, logs and speech server stay in this run's folder; no sound card is needed.
export HOME=$E2E_TMP/home XDG_CONFIG_HOME=$E2E_TMP/config XDG_DATA_HOME=$E2E_TMP/data
mkdir -p "$XDG_CONFIG_HOME/speech-dispatcher" "$HOME" "$XDG_DATA_HOME"
cat >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf" <<'CONF'
AudioOutputMethod "alsa"
AudioALSADevice "null"
CONF

# No System Info program anywhere on the path: its button shows the message box.
e2e_start_main PATH="$E2E_TMP/empty"
main=$E2E_MAIN

# The viewers' roles: test_viewers, over the same mapping.
wait_window_role "frame: $MAIN"

# F1 on Main opens the about box, from the keyboard alone.
e2e_focus "$main"
e2e_key F1
wait_window_role "dialog: $ABOUT"
e2e_key alt+s
wait_window_role ": $MAIN"
e2e_read windows --timeout 1 | grep -Eqx "(alert|dialog): $MAIN" ||
    e2e_fail "the message box is no dialog: $(e2e_read windows --timeout 1 | tr '\n' ';')"
e2e_read message --contains "$UNAVAILABLE" --timeout 5 >/dev/null || e2e_fail "the message was not read"
e2e_key Return
e2e_wait_message_gone
e2e_key Escape
for _ in $(seq 100); do
    e2e_read windows --timeout 1 | grep -qF "$ABOUT" || break
    sleep 0.05
done
e2e_read windows --timeout 1 | grep -qF "$ABOUT" && e2e_fail "Esc did not close the about box"

# Orca, speaking into its log only (no braille display to wait for).
command -v orca >/dev/null || e2e_fail "Orca is not installed (scripts/install-deps.sh test)"
speech=$E2E_OUT/orca.log
/usr/bin/python3 "$(dirname "$E2E_READER")/orca_log.py" "$speech" --replace -d braille \
    >"$E2E_OUT/orca.out" 2>&1 &
orca_pid=$!
# Orca 48 may not end on SIGTERM while its speech server is busy: it gets five seconds.
stop_orca() {
    kill "$orca_pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 "$orca_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$orca_pid" 2>/dev/null || true
    wait "$orca_pid" 2>/dev/null || true
}
trap 'status=$?; stop_orca; (exit $status); e2e_cleanup' EXIT
for _ in $(seq 300); do
    grep -q "SPEECH OUTPUT" "$speech" 2>/dev/null && break
    sleep 0.1
done
grep -q "SPEECH OUTPUT" "$speech" || e2e_fail "Orca said nothing at all"

e2e_focus "$main"
e2e_key alt+n
e2e_wait_text status ends-with " created."
status=$(e2e_read_status)
# Spoken as a notification: its role, then its text, in one phrase (Orca 43) or two (Orca 48).
spoken() {
    grep -qF -e "SPEECH OUTPUT: 'notification $status'" "$speech" && return 0
    grep -qF -e "SPEECH OUTPUT: 'notification'" "$speech" && grep -qF -e "SPEECH OUTPUT: '$status'" "$speech"
}
for _ in $(seq 100); do
    spoken && break
    sleep 0.1
done
spoken ||
    e2e_fail "Orca did not speak '$status'; it said: $(grep -o "SPEECH OUTPUT: '.*'" "$speech" | tail -5 | tr '\n' ';')"
e2e_log "Orca said: $(grep -o "SPEECH OUTPUT: '.*'" "$speech" | tail -3 | tr '\n' ' ')"
