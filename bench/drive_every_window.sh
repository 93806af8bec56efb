#!/usr/bin/env bash
# Drives a started quelvane through every window, as a person would: the three viewers, a
# print to the default printer, and the about box. Run by startup_watch --drive with
# BENCH_WINDOW (Main's window id) and BENCH_PID set; ends with 0 once all of it happened.
set -euo pipefail

main=$BENCH_WINDOW
pid=$BENCH_PID

fail() { echo "drive: $*" >&2; exit 1; }

press() {
    xdotool windowfocus --sync "$main"
    sleep 0.1
    xdotool key --delay 50 "$@"
}

wait_for() {
    local title=$1
    for _ in $(seq 200); do
        xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    fail "no window '$title'"
}

visible_windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }

completed_jobs() { lpstat -W completed -o 2>/dev/null | wc -l; }

press alt+a
wait_for "View Attributes"
press alt+k
wait_for "View Skills"
press alt+c
wait_for "View Secrets"

before=$(completed_jobs)
press alt+p
for _ in $(seq 400); do
    [ "$(completed_jobs)" -gt "$before" ] && break
    sleep 0.05
done
[ "$(completed_jobs)" -gt "$before" ] || fail "the print job never completed"

# The picture opens the modal about box; Esc presses its OK.
shown=$(visible_windows)
# Image1's middle: 600 + 1440 / 2 and 1080 + 1320 / 2 twips, at 96 DPI. Main comes to the
# top first: a viewer may lie over the picture.
xdotool windowraise "$main"
sleep 0.1
xdotool mousemove --window "$main" 88 116 click 1
for _ in $(seq 200); do
    [ "$(visible_windows)" -gt "$shown" ] && break
    sleep 0.05
done
[ "$(visible_windows)" -gt "$shown" ] || fail "the about box did not open"
sleep 0.2
xdotool key --delay 50 Escape
for _ in $(seq 200); do
    [ "$(visible_windows)" -eq "$shown" ] && exit 0
    sleep 0.05
done
fail "the about box did not close"
