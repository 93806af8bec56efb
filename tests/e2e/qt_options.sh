#!/usr/bin/env bash
# Qt's own options never come from the user's command line: after "--", "-stylesheet=FILE"
# is a file name like any other, and Qt does not read FILE. FILE is a FIFO, so that a
# program that took the option would sit waiting for it, and its reader is seen.
source "$E2E_LIB" "$@"

sheet=$E2E_TMP/sheet.qss
mkfifo "$sheet"
# Succeeds when some process has the FIFO open for reading.
has_reader() {
    /usr/bin/python3 - "$1" <<'PY'
import errno, os, sys
try:
    os.close(os.open(sys.argv[1], os.O_WRONLY | os.O_NONBLOCK))
except OSError as error:
    sys.exit(1 if error.errno == errno.ENXIO else 2)
PY
}

e2e_start_xvfb
e2e_start_atspi
e2e_start_app -- -- "-stylesheet=$sheet"
main=$(e2e_wait_window "Quelvane Cadrelant Generator")
e2e_wait_text status equals "Welcome to the Quelvane Cadrelant Generator."
if has_reader "$sheet"; then e2e_fail "Qt opened the style sheet given after --"; fi
# Taken as the name of the FILE to load, in the current folder, where there is none: told.
e2e_wait_text message contains "/-stylesheet=$sheet cannot be read: No such file or directory."
e2e_screenshot started
e2e_key Return
e2e_wait_message_gone

e2e_focus "$main"
e2e_key alt+x
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit ended the program with status $E2E_EXIT_STATUS"
