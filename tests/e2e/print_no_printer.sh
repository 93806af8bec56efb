#!/usr/bin/env bash
# Print with no printer set up, on a character given on the command line: the message offers a
# PDF instead, its default button leads to the real save dialog, and the sheet lands as a
# one-page PDF where the user typed. Escape in the message or in the dialog writes nothing.
# Texts are read over AT-SPI, as a screen reader would.
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
    e2e_fail "window $1 did not close"
}

# Print, and wait for the no-printer message; prints its window id.
print_to_message() {
    e2e_focus "$main"
    e2e_key alt+p
    wait_other_window "Quelvane Cadrelant Generator" "$main"
}

files=$E2E_TMP/files
mkdir -p "$files"
e2e_write_character "$files/hero.tbl" E2E-R-PDF "Internal Security" "Armed Forces" Charm Psion
pdf=$files/sheet.pdf # typed without its extension: the dialog adds it

# A scheduler of our own that has no destination at all: nothing from the machine leaks in.
cups_start
e2e_start_xvfb
e2e_start_atspi
e2e_start_app $(cups_app_env) -- "$files/hero.tbl"
main=$(e2e_wait_window "Quelvane Cadrelant Generator")
e2e_wait_text status equals "$files/hero.tbl loaded."
sleep 0.3
e2e_screenshot loaded

# The message's default button leads to the save dialog; the typed path gets the sheet.
box=$(print_to_message)
e2e_wait_text message contains "There is no default printer"
message=$(e2e_read_message)
grep -qF "Save the sheet as a PDF file instead?" <<<"$message" || e2e_fail "the message: $message"
[ "$(grep '^button:' <<<"$message" | tr '\n' '|')" = "button: Save as PDF...|button: Cancel|" ] ||
    e2e_fail "the message's buttons: $message"
sleep 0.3
e2e_screenshot message
if xdotool search --onlyvisible --name "^Quelvane Character Sheet\$" >/dev/null 2>&1; then
    e2e_fail "the sheet window came up on the screen"
fi
e2e_focus "$box"
e2e_key Return
wait_closed "$box"
e2e_wait_window "Save As" >/dev/null
e2e_screenshot save-dialog
e2e_choose_file "Save As" "${pdf%.pdf}"
for _ in $(seq 200); do
    [ -f "$pdf" ] && break
    sleep 0.05
done
[ -f "$pdf" ] || e2e_fail "no PDF at $pdf"
pdfinfo "$pdf" >"$E2E_OUT/pdfinfo.txt" || e2e_fail "pdfinfo cannot read $pdf"
grep -Eq '^Pages: +1$' "$E2E_OUT/pdfinfo.txt" || e2e_fail "the PDF is not one page: $(cat "$E2E_OUT/pdfinfo.txt")"
pdftotext -layout "$pdf" "$E2E_OUT/sheet.txt" || e2e_fail "pdftotext cannot read $pdf"
for text in "Quelvane Character Sheet" "E2E-R-PDF" "Armed Forces (IS)" "Psion"; do
    grep -qF "$text" "$E2E_OUT/sheet.txt" || e2e_fail "the PDF lacks '$text' (the file given at start)"
done
e2e_wait_text status equals "Quelvane Character Sheet saved to $pdf."

# Escape in the message: no dialog, nothing written, the status line as it was.
box=$(print_to_message)
e2e_focus "$box"
e2e_key Escape
wait_closed "$box"

# Escape in the dialog, with another path typed: nothing written. The next message only comes
# once the Escape above has been handled, so a dialog it opened would be on screen by then.
box=$(print_to_message)
if xdotool search --onlyvisible --name "^Save As\$" >/dev/null 2>&1; then
    e2e_fail "Escape in the message still opened the save dialog"
fi
e2e_focus "$box"
e2e_key Return
wait_closed "$box"
e2e_choose_file "Save As" "$files/never.pdf" Escape
sleep 0.3
e2e_screenshot cancelled
[ "$(e2e_read_status)" = "Quelvane Character Sheet saved to $pdf." ] ||
    e2e_fail "the status line changed after Cancel: $(e2e_read_status)"
listing=$(ls -A "$files" | tr '\n' ' ')
[ "$listing" = "hero.tbl sheet.pdf " ] || e2e_fail "files after Cancel: $listing"

# Still running and still working.
kill -0 "$E2E_APP_PID" 2>/dev/null || e2e_fail "the program ended after printing to a file"
e2e_focus "$main"
e2e_key alt+n
e2e_wait_text status ends-with " created."

e2e_key alt+x
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit ended the program with status $E2E_EXIT_STATUS"
