#!/usr/bin/env bash
# Printing through a scheduler that misbehaves (tests/e2e/bad_scheduler.py in front of a real
# private one): one that accepts and never answers, one that stalls and one that drops the
# connection while the document is sent. The window answers throughout and Exit works; within
# seconds the user gets the designed message with a true reason, never "printed"; no job stays.
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: needs root: the cups-pdf queue takes its settings from /etc/cups" >&2
    exit 77
fi
source "$E2E_LIB" "$@"
source "$(dirname "$E2E_LIB")/cups.sh"

welcome="Welcome to the Quelvane Cadrelant Generator."
PROXY_PID=""
stop_proxy() {
    if [ -n "$PROXY_PID" ]; then
        kill "$PROXY_PID" 2>/dev/null || true
        wait "$PROXY_PID" 2>/dev/null || true
    fi
    PROXY_PID=""
}
trap 'rc=$?; set +e; stop_proxy; (exit $rc); cups_on_exit' EXIT

# Starts the bad scheduler in mode $1 and the program behind it.
start_behind() {
    local socket=$E2E_TMP/bad-$1.sock
    stop_proxy
    python3 "$(dirname "$E2E_LIB")/bad_scheduler.py" "$socket" "$CUPS_SERVER" "$1" \
        >"$E2E_OUT/proxy-$1.log" 2>&1 &
    PROXY_PID=$!
    for _ in $(seq 100); do [ -S "$socket" ] && break; sleep 0.05; done
    [ -S "$socket" ] || e2e_fail "the $1 scheduler did not start"
    e2e_start_app -u PRINTER -u LPDEST CUPS_SERVER="$socket" HOME="$CUPS_DIR/home"
    main=$(e2e_wait_window "Quelvane Cadrelant Generator")
    e2e_wait_text status equals "$welcome"
    e2e_focus "$main"
}

# Seconds since $1 (from date +%s.%N), as a whole number.
since() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%d", b - a }'; }

expect_no_job() {
    cups_wait_idle 15
    local left
    left=$(ls "$CUPS_OUT")
    [ -z "$left" ] || e2e_fail "$1: a PDF came out of a job that was not taken: $left"
}

cups_start
cups_add_pdf_queue Sheets
e2e_start_xvfb
e2e_start_atspi

# 1. A scheduler that never answers: the window keeps answering a screen reader while the
#    print system is asked, and the user hears of it within seconds.
start_behind silent
e2e_key alt+p
started=$(date +%s.%N)
[ "$(e2e_read_status)" = "$welcome" ] || e2e_fail "the status line changed during the print"
[ "$(since "$started")" -lt 3 ] || e2e_fail "the window did not answer while the print system was asked"
e2e_wait_text message contains "There is no default printer" 15
e2e_screenshot silent
[ "$(e2e_read_status)" = "$welcome" ] || e2e_fail "the status line changed: $(e2e_read_status)"
e2e_key Escape
e2e_wait_message_gone
# Exit while the print system is being asked ends the program.
e2e_focus "$main"
e2e_key alt+p
e2e_key alt+x
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit during a print ended with status $E2E_EXIT_STATUS"

# 2 and 3. The connection stalls, or breaks, once the document is on its way.
for mode in stall drop; do
    start_behind "$mode"
    e2e_key alt+p
    e2e_wait_text message contains "could not be printed" 30
    message=$(e2e_read_message)
    grep -qF '"Sheets"' <<<"$message" || e2e_fail "$mode: the message does not name the queue: $message"
    if grep -qiF 'successful' <<<"$message"; then e2e_fail "$mode: the reason given is a success: $message"; fi
    e2e_screenshot "$mode"
    [ "$(e2e_read_status)" = "$welcome" ] || e2e_fail "$mode: the status line reads '$(e2e_read_status)'"
    e2e_key Return
    e2e_wait_message_gone
    stop_proxy
    expect_no_job "$mode"
    e2e_focus "$main"
    e2e_key alt+x
    e2e_wait_exit 10
done
e2e_log "reasons given: $(grep -h 'did not take' "$E2E_OUT"/*.log 2>/dev/null | head -n 2)"
