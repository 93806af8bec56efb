#!/usr/bin/env bash
# The main window as a person meets it: where it opens, Generate by its access key, Exit.
source "$E2E_LIB" "$@"

e2e_start_xvfb
e2e_start_atspi
e2e_start_app
main=$(e2e_wait_window "Quelvane Cadrelant Generator")
# 2625, 1365, 4815 x 4785 twips at 96 DPI.
e2e_expect_geometry "$main" "175 91 321 319"
e2e_wait_text status equals "Welcome to the Quelvane Cadrelant Generator."
e2e_screenshot before

# The status line names the new character: three letters, "-R-", three letters.
e2e_focus "$main"
e2e_key alt+n
e2e_wait_text status differs "Welcome to the Quelvane Cadrelant Generator."
first=$(e2e_read_status)
[[ $first =~ ^[A-Z]{3}-R-[A-Z]{3}\ created\.$ ]] || e2e_fail "after Generate the status line reads '$first'"
e2e_screenshot generated

e2e_key alt+n
e2e_wait_text status differs "$first"
second=$(e2e_read_status)
[[ $second =~ ^[A-Z]{3}-R-[A-Z]{3}\ created\.$ ]] || e2e_fail "after a second Generate the status line reads '$second'"

e2e_key alt+x
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit ended the program with status $E2E_EXIT_STATUS"
