#!/usr/bin/env bash
# Print through a real CUPS scheduler: each press of Print sends one A4 page to the default
# destination (a cups-pdf queue), with the sheet at its designed size and the character on it
# as text and lines, and no window comes up.
# The cups-pdf backend reads its settings only from /etc/cups (cups.sh) and runs as root.
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: needs root: the cups-pdf queue takes its settings from /etc/cups" >&2
    exit 77
fi
source "$E2E_LIB" "$@"
source "$(dirname "$E2E_LIB")/cups.sh"

# Waits for print job N's PDF and for the job to end; sets PRINTED to the file's path.
# (Not run in $(...): a failure there would only end the subshell.)
wait_printed() {
    local job=$1 file=""
    for _ in $(seq 300); do
        file=$(ls "$CUPS_OUT"/*-job_"$job".pdf 2>/dev/null | head -n 1 || true)
        [ -n "$file" ] && break
        sleep 0.1
    done
    # Where AppArmor confines cupsd, cups-pdf may only write to its usual folders: its log says so.
    [ -n "$file" ] || e2e_fail "no PDF for print job $job; queue: $(lpstat -o 2>&1);" \
        "scheduler: $(tail -n 3 "$CUPS_DIR"/log/error_log 2>&1);" \
        "cups-pdf: $(tail -n 3 "$CUPS_DIR"/log/cups-pdf-*_log 2>&1)"
    cups_wait_idle 30
    cp "$file" "$E2E_OUT/job_$job.pdf"
    pdftoppm -r 100 -png -singlefile "$file" "$E2E_OUT/job_$job"
    PRINTED=$file
}

page_text() { pdftotext -layout "$1" - 2>/dev/null; }
# The whole numbers on the page, one per line.
numbers_in() { tr -s '[:space:]' '\n' <<<"$1" | grep -xE -- '-?[0-9]+' || true; }

expect_sheet_page() {
    local file=$1 info text images caption
    info=$(pdfinfo "$file" 2>/dev/null)
    grep -q '^Pages: *1$' <<<"$info" || e2e_fail "$file: not one page: $info"
    grep -qE '^Page size: *595(\.[0-9]+)? x 842(\.[0-9]+)? pts' <<<"$info" || e2e_fail "$file: not A4: $info"
    # Drawn for the printer: text and lines, no picture of the window.
    images=$(pdfimages -list "$file" 2>/dev/null | tail -n +3)
    [ -z "$images" ] || e2e_fail "$file: the sheet came out as a bitmap: $images"
    # Runs of blanks are as wide as the page makes them; compare with single blanks.
    text=$(page_text "$file" | tr -s ' ')
    for caption in "Quelvane Character Sheet" "Identification" "Secret Stuff" "Attributes" \
        "Player:" "Security Clearance: (IR) R O Y G B I V (UV)" "Power:" \
        "Chutzpah Skill Base:" "Autocar Op. & Maint.:" "Vehicle Lnch Wpns:" "Surveillance:" "Survival"; do
        grep -qF -- "$caption" <<<"$text" || e2e_fail "$file: caption '$caption' is not on the page"
    done
    if grep -qF "&&" <<<"$text"; then e2e_fail "$file: a doubled ampersand was printed"; fi
    local count
    count=$(numbers_in "$text" | wc -l)
    [ "$count" -eq 71 ] || e2e_fail "$file: $count numbers printed, expected 71 (16 + 5 bases + 50 skills)"
}

# The sheet's marks span twips 120 to 11055 across and 0 to 11055 down: at the designed size
# and 100 dpi, 759 x 768 pixels, with the 11340-twip client area centred on the 827-pixel page.
expect_designed_size() {
    local job=$1 w h x y expected_x
    read -r w h x y <<<"$(convert "$E2E_OUT/job_$job.png" -trim -format '%w %h %X %Y' info:)"
    x=${x#+}
    y=${y#+}
    e2e_log "job $job: the sheet's marks are ${w} x ${h} pixels at $x, $y"
    expected_x=$(((827 - 788) / 2 + 8))
    [ "$w" -ge 757 ] && [ "$w" -le 762 ] || e2e_fail "job $job: sheet $w pixels wide, designed 759"
    [ "$h" -ge 766 ] && [ "$h" -le 771 ] || e2e_fail "job $job: sheet $h pixels high, designed 768"
    [ $((x - expected_x)) -ge -2 ] && [ $((x - expected_x)) -le 2 ] \
        || e2e_fail "job $job: sheet at x = $x, centred would be $expected_x"
    [ "$y" -le 25 ] || e2e_fail "job $job: sheet starts $y pixels down, not at the top"
}

expect_no_sheet_window() {
    if xdotool search --onlyvisible --name "^Quelvane Character Sheet\$" >/dev/null 2>&1; then
        e2e_fail "the sheet window came up on the screen"
    fi
}

cups_start
cups_add_pdf_queue Sheets
e2e_start_main $(cups_app_env)
main=$E2E_MAIN
e2e_screenshot start

# Before any character: every number box reads 0, the name box is empty.
e2e_key alt+p
wait_printed 1
first=$PRINTED
case "$first" in
*/Quelvane_Character_Sheet-job_1.pdf) ;;
*) e2e_fail "the job is not named after the sheet: $first" ;;
esac
expect_sheet_page "$first"
others=$(numbers_in "$(page_text "$first")" | grep -vx 0 || true)
[ -z "$others" ] || e2e_fail "job 1: numbers other than 0 before any character: $others"
if grep -qE '[A-Z]{3}-R-[A-Z]{3}' <<<"$(page_text "$first")"; then e2e_fail "job 1: a name before any character"; fi
expect_designed_size 1
expect_no_sheet_window
e2e_wait_text status equals "Quelvane Character Sheet printed."
e2e_screenshot printed

# A new character: Generate closes the sheet, so the next print shows the new one.
e2e_key alt+n
e2e_wait_text status ends-with " created."
created=$(e2e_read_status)
e2e_screenshot generated
e2e_key alt+p
wait_printed 2
second=$PRINTED
expect_sheet_page "$second"
name=$(grep -oE '[A-Z]{3}-R-[A-Z]{3}' <<<"$(page_text "$second")" | head -n 1 || true)
[ -n "$name" ] || e2e_fail "job 2: the character's name is not on the page"
e2e_log "job 2 shows $name"
[ "$name created." = "$created" ] || e2e_fail "job 2 shows $name, the status line named '$created'"
# Only the damage bonus of a generated character can be 0; nothing is negative.
low=$(numbers_in "$(page_text "$second")" | awk '$1 < 1' | tr '\n' ' ')
case "$low" in "" | "0 ") ;; *) e2e_fail "job 2: values below 1 for a generated character: $low" ;; esac
expect_designed_size 2
e2e_wait_text status equals "Quelvane Character Sheet printed."
e2e_screenshot printed-again

# Printed again without a new character: the same sheet, still hidden.
e2e_key alt+p
wait_printed 3
third=$PRINTED
[ "$(page_text "$second")" = "$(page_text "$third")" ] || e2e_fail "a second print of the same character differs"
expect_no_sheet_window

e2e_key alt+x
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit ended the program with status $E2E_EXIT_STATUS"
