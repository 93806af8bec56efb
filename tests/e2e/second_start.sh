#!/usr/bin/env bash
# One program per user session: a second start hands its file to the running program over
# the session bus, which loads it and comes to the front; without a bus each start is its own.
source "$E2E_LIB" "$@"

files=$E2E_TMP/files
mkdir -p "$files"
e2e_write_character "$files/hero.tbl" TWO-R-STA "Armed Forces" " " Charm Psion
main_title="Quelvane Cadrelant Generator"

# Runs a second start with arguments "$@" in the first one's session and expects it to end
# at once with status 0, having handed over its wish.
second_start() {
    local status=0
    (cd "$files" && timeout 30 env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$E2E_BIN" "$@") \
        >"$E2E_OUT/second.log" 2>&1 || status=$?
    [ "$status" -eq 0 ] || e2e_fail "the second start ended with status $status: $(cat "$E2E_OUT/second.log")"
}

main_windows() { xdotool search --onlyvisible --name "^${main_title}\$" 2>/dev/null | wc -l; }

e2e_start_main
main=$E2E_MAIN

# A file, given relative to the second start's own folder: loaded by the running program.
second_start hero.tbl
e2e_wait_text status equals "$files/hero.tbl loaded."
[ "$(main_windows)" -eq 1 ] || e2e_fail "$(main_windows) main windows after the second start"
sleep 0.3
e2e_screenshot handed-over

# Without a file: Main only comes to the front, with the focus, from behind a viewer.
e2e_focus "$main"
e2e_key alt+a
stats=$(e2e_wait_window "View Attributes")
e2e_focus "$stats"
[ "$(xdotool getwindowfocus)" = "$stats" ] || e2e_fail "the viewer did not take the focus"
second_start
for _ in $(seq 100); do
    [ "$(xdotool getwindowfocus)" = "$main" ] && break
    sleep 0.05
done
[ "$(xdotool getwindowfocus)" = "$main" ] || e2e_fail "Main did not get the focus back"
[ "$(e2e_read_status)" = "$files/hero.tbl loaded." ] || e2e_fail "a start without a file changed the status line"

# A file that cannot be loaded is told by the running program, which keeps its character.
second_start "$files/missing.tbl"
e2e_wait_text message contains "No such file or directory"
message=$(e2e_read_message)
grep -qF "$files/missing.tbl" <<<"$message" || e2e_fail "the message does not name the file: $message"
[ "$(grep '^button:' <<<"$message" | tr '\n' '|')" = "button: OK|" ] || e2e_fail "the message's buttons: $message"
sleep 0.3
e2e_screenshot missing-file
e2e_key Return
e2e_wait_message_gone
[ "$(e2e_read_status)" = "$files/hero.tbl loaded." ] || e2e_fail "the failed file changed the status line"
[ "$(main_windows)" -eq 1 ] || e2e_fail "$(main_windows) main windows after the missing file"

# No session bus: the start is a program of its own, with a window of its own.
env DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/no-bus" "$E2E_BIN" >"$E2E_OUT/alone.log" 2>&1 &
alone=$!
for _ in $(seq 200); do
    [ "$(main_windows)" -eq 2 ] && break
    sleep 0.05
done
[ "$(main_windows)" -eq 2 ] || { kill "$alone"; e2e_fail "a start without a session bus showed no window of its own"; }
kill "$alone"
wait "$alone" 2>/dev/null || true # ended by the test's own signal
