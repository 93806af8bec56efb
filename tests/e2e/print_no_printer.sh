#!/usr/bin/env bash
# Print with no printer set up: a message with the program's title says the sheet could not be
# printed, the status line keeps its text, and the program goes on working.
source "$E2E_LIB" "$@"
source "$(dirname "$E2E_LIB")/cups.sh"

# Id of a visible window titled $1 other than $2; waits up to 10 seconds.
wait_other_window() {
    local id
    for _ in $(seq 200); do
        for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true); do
            [ "$id" != "$2" ] && { echo "$id"; return 0; }
        done
        sleep 0.05
    done
    e2e_fail "no second window titled '$1'" >&2 # run in $(...): say it on stderr
}

# Waits until window $1 is no longer on the screen.
wait_closed() {
    for _ in $(seq 200); do
        xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable' || return 0
        sleep 0.05
    done
    e2e_fail "the message did not close"
}

# The status line's pixels in screenshot $1, Label1 at 240, 240 twips inside Main.
status_line() {
    local x y
    read -r x y _ _ <<<"$(e2e_geometry "$main")"
    convert "$E2E_OUT/$1.png" -crop "289x49+$((x + 16))+$((y + 16))" +repage "$E2E_OUT/$1-status.png"
}

# A scheduler of our own that has no destination at all: nothing from the machine leaks in.
cups_start
e2e_start_xvfb
e2e_start_app $(cups_app_env)
main=$(e2e_wait_window "Quelvane Cadrelant Generator")
sleep 0.5
e2e_focus "$main"
e2e_key alt+n
e2e_screenshot generated
status_line generated

e2e_key alt+p
box=$(wait_other_window "Quelvane Cadrelant Generator" "$main")
sleep 0.3
e2e_screenshot message
if xdotool search --onlyvisible --name "^Quelvane Character Sheet\$" >/dev/null 2>&1; then
    e2e_fail "the sheet window came up on the screen"
fi
e2e_focus "$box"
e2e_key Return
wait_closed "$box"
sleep 0.3
e2e_screenshot dismissed
status_line dismissed
changed=$(e2e_pixels_changed generated-status dismissed-status)
[ "$changed" -eq 0 ] || e2e_fail "the status line changed after a failed print ($changed pixels)"

# Still running and still working.
kill -0 "$E2E_APP_PID" 2>/dev/null || e2e_fail "the program ended after a failed print"
e2e_focus "$main"
e2e_key alt+n
e2e_screenshot generated-again
status_line generated-again
changed=$(e2e_pixels_changed dismissed-status generated-again-status)
[ "$changed" -gt 20 ] || e2e_fail "Generate did nothing after a failed print ($changed pixels)"

e2e_key alt+x
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit ended the program with status $E2E_EXIT_STATUS"
