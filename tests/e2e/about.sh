#!/usr/bin/env bash
# The about box as a person meets it: opened by a click on Main's picture, modal, its
# System Info button, Esc and Enter closing it. A stand-in system-information program on the
# program's PATH records that it was started, so no real one needs to be installed.
source "$E2E_LIB" "$@"

fake_bin=$E2E_TMP/bin
empty_bin=$E2E_TMP/empty
mkdir -p "$fake_bin" "$empty_bin"
printf '#!/bin/sh\nprintf started > "$0.started"\n' >"$fake_bin/hardinfo"
chmod +x "$fake_bin/hardinfo"

MAIN="Quelvane Cadrelant Generator"
WELCOME="Welcome to the Quelvane Cadrelant Generator."
# Main's picture and Generate button, from their twips places at 96 DPI.
PICTURE="88 116"
GENERATE="236 92"

# The about box has no caption: it is the program's visible window not titled as Main.
find_about() {
    local id
    for id in $(xdotool search --onlyvisible --class '^quelvane$' 2>/dev/null); do
        [ "$(xdotool getwindowname "$id")" = "$MAIN" ] || { echo "$id"; return 0; }
    done
    return 1
}

wait_about() {
    for _ in $(seq 200); do
        about=$(find_about) && return 0
        sleep 0.05
    done
    e2e_fail "the about box did not open"
}

wait_about_gone() {
    for _ in $(seq 200); do
        find_about >/dev/null || return 0
        sleep 0.05
    done
    e2e_fail "the about box is still open"
}

open_about() {
    e2e_click "$main" $PICTURE
    wait_about
}

# Waits until $1 visible windows have the program's title: Main, and the message when 2.
wait_titled() {
    for _ in $(seq 200); do
        [ "$(xdotool search --onlyvisible --name "^$MAIN\$" 2>/dev/null | wc -l)" -eq "$1" ] && return 0
        sleep 0.05
    done
    e2e_fail "$2"
}

e2e_start_xvfb
e2e_start_atspi
e2e_start_app PATH="$fake_bin"
main=$(e2e_wait_window "$MAIN")
e2e_wait_text status equals "$WELCOME"

open_about
read -r _ _ width height <<<"$(e2e_geometry "$about")"
# 5730 x 2970 twips.
[ "$width $height" = "382 198" ] || e2e_fail "about box is ${width}x$height, expected 382x198"
e2e_screenshot about-open

# Modal: a click on Main's Generate button is refused. Alt+S, which starts the
# system-information program, reaches the program after the click: once that program has
# started, the click has been handled too, and the status line must still read as before.
e2e_click "$main" $GENERATE
e2e_focus "$about"
e2e_key alt+s
for _ in $(seq 100); do
    [ -e "$fake_bin/hardinfo.started" ] && break
    sleep 0.05
done
[ -e "$fake_bin/hardinfo.started" ] || e2e_fail "System Info did not start the program"
after=$(e2e_read_status)
[ "$after" = "$WELCOME" ] || e2e_fail "Main took a click while the about box was open: '$after'"
find_about >/dev/null || e2e_fail "System Info closed the box"

e2e_key Escape
wait_about_gone
e2e_screenshot about-closed

# Main takes clicks again.
e2e_click "$main" $GENERATE
e2e_wait_text status ends-with " created."

# Opened again, Enter presses OK.
open_about
e2e_focus "$about"
e2e_key Return
wait_about_gone

e2e_focus "$main"
e2e_key alt+x
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit ended the program with status $E2E_EXIT_STATUS"

# Without any system-information program: the message, and the box stays open.
e2e_start_app PATH="$empty_bin"
main=$(e2e_wait_window "$MAIN")
e2e_wait_text status equals "$WELCOME"
open_about
e2e_focus "$about"
e2e_key alt+s
e2e_wait_text message equals "System Information Is Unavailable At This Time"
message=$(e2e_read_message)
[ "$(grep '^button:' <<<"$message")" = "button: OK" ] || e2e_fail "the message's buttons: $message"
wait_titled 2 "the message is not on the screen"
e2e_screenshot unavailable
e2e_key Return
wait_titled 1 "Enter did not close the message"
find_about >/dev/null || e2e_fail "the message closed the box"
e2e_focus "$about"
e2e_key Escape
wait_about_gone
e2e_focus "$main"
e2e_key alt+x
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit ended the program with status $E2E_EXIT_STATUS"
