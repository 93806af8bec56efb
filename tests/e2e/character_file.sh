#!/usr/bin/env bash
# Save and Load through the real file dialog, with a hand edit in between, as a person would.
source "$E2E_LIB" "$@"

files=$E2E_TMP/files
mkdir -p "$files"
saved=$files/hero.tbl
again=$files/again

# Waits until file $1 exists with 71 lines.
wait_saved() {
    for _ in $(seq 200); do
        [ -f "$1" ] && [ "$(grep -c '' "$1")" -eq 71 ] && return 0
        sleep 0.05
    done
    e2e_fail "$1 was not saved"
}

e2e_start_main
main=$E2E_MAIN
e2e_key alt+n
e2e_wait_text status ends-with " created."

# Save under a typed path.
e2e_key alt+s
e2e_screenshot save-dialog
e2e_choose_file "Save As" "$saved"
wait_saved "$saved"
[ "$(tr -cd '\r' <"$saved" | wc -c)" -eq 71 ] || e2e_fail "the saved file does not end every line with CR LF"
e2e_wait_text status equals "$saved saved."
e2e_screenshot saved

# A hand edit in an editor that writes LF line ends.
tr -d '\r' <"$saved" | sed -e '1s/.*/99/' -e '17s/.*/"EDT-R-TED"/' -e '71s/.*/-4/' >"$files/edited"
mv "$files/edited" "$saved"

e2e_focus "$main"
e2e_key alt+l
e2e_choose_file "Open" "$saved"
e2e_wait_text status equals "$saved loaded."

# The loaded record, saved again, is the edited file with CR LF line ends.
e2e_focus "$main"
e2e_key alt+s
e2e_choose_file "Save As" "$again"
wait_saved "$again"
e2e_wait_text status equals "$again saved."
expected=$(sed 's/$/\r/' "$saved" | od -An -c)
actual=$(od -An -c <"$again")
[ "$actual" = "$expected" ] || e2e_fail "the loaded record saved again differs from the edited file"
[ "$(sed -n 17p "$again")" = $'"EDT-R-TED"\r' ] || e2e_fail "the edited name was not loaded"

# The save dialog offers the path last chosen: Return alone saves there again, no question.
rm "$again"
e2e_focus "$main"
e2e_key alt+s
dialog=$(e2e_wait_window "Save As")
e2e_focus "$dialog"
e2e_key Return
e2e_wait_window_gone "Save As"
wait_saved "$again"

# An empty file: the message, and the status line keeps its text while it is open and after.
: >"$files/empty.tbl"
e2e_focus "$main"
e2e_key alt+l
e2e_choose_file "Open" "$files/empty.tbl"
e2e_wait_text message equals "No records in data file."
[ "$(e2e_read_status)" = "$again saved." ] || e2e_fail "the empty file changed the status line"
e2e_screenshot empty-file
e2e_key Return
e2e_wait_message_gone
# A cancelled Open that comes after the message: by then the empty load has run to its end.
e2e_focus "$main"
e2e_key alt+l
dialog=$(e2e_wait_window "Open")
e2e_focus "$dialog"
e2e_key Escape
e2e_wait_window_gone "Open"
[ "$(e2e_read_status)" = "$again saved." ] || e2e_fail "the status line changed after the empty file"

e2e_focus "$main"
e2e_key alt+x
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit ended the program with status $E2E_EXIT_STATUS"
