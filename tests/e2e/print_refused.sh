#!/usr/bin/env bash
# A print that the scheduler refuses says so: the default queue rejects jobs (cupsreject), so
# Print shows a message with the scheduler's reason, no job is made and the status line keeps
# its text. Once the queue takes jobs again, Print prints and says so.
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: needs root: the cups-pdf queue takes its settings from /etc/cups" >&2
    exit 77
fi
source "$E2E_LIB" "$@"
source "$(dirname "$E2E_LIB")/cups.sh"

cups_start
cups_add_pdf_queue Sheets
cupsreject -r "closed for the test" Sheets
lpstat -a Sheets | grep -q 'not accepting' || e2e_fail "the queue still accepts jobs: $(lpstat -a Sheets)"
e2e_start_main $(cups_app_env)
main=$E2E_MAIN

e2e_key alt+p
e2e_wait_text message contains "could not be printed"
message=$(e2e_read_message)
grep -qF '"Sheets"' <<<"$message" || e2e_fail "the message does not name the queue: $message"
grep -qiF 'not accepting jobs' <<<"$message" || e2e_fail "the message does not give the scheduler's reason: $message"
e2e_screenshot refused
[ "$(e2e_read_status)" = "Welcome to the Quelvane Cadrelant Generator." ] \
    || e2e_fail "a refused print changed the status line to '$(e2e_read_status)'"
e2e_key Return
e2e_wait_message_gone
[ "$(e2e_read_status)" = "Welcome to the Quelvane Cadrelant Generator." ] \
    || e2e_fail "after the message the status line reads '$(e2e_read_status)'"
jobs=$(lpstat -W all -o 2>/dev/null; ls "$CUPS_OUT")
[ -z "$jobs" ] || e2e_fail "a refused print left a job or a PDF: $jobs"

# The queue open again: the same command prints.
cupsaccept Sheets
e2e_focus "$main"
e2e_key alt+p
e2e_wait_text status equals "Quelvane Character Sheet printed." 30
printed=""
for _ in $(seq 300); do
    printed=$(ls "$CUPS_OUT"/*.pdf 2>/dev/null | head -n 1 || true)
    [ -n "$printed" ] && break
    sleep 0.1
done
[ -n "$printed" ] || e2e_fail "no PDF for the accepted job; queue: $(lpstat -o 2>&1)"
cups_wait_idle 30
pdfinfo "$printed" | grep -q '^Pages: *1$' || e2e_fail "$printed: not one page"

e2e_key alt+x
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit ended the program with status $E2E_EXIT_STATUS"
