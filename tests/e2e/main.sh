#!/usr/bin/env bash
# The main window as a person meets it: where it opens, Generate by its access key, Exit.
source "$E2E_LIB" "$@"

e2e_start_xvfb
e2e_start_app
main=$(e2e_wait_window "Quelvane Cadrelant Generator")
# 2625, 1365, 4815 x 4785 twips at 96 DPI.
e2e_expect_geometry "$main" "175 91 321 319"
sleep 0.5
e2e_screenshot before

e2e_focus "$main"
e2e_key alt+n
e2e_wait_repaint before generated 50 10 "Alt+N did not repaint the status line"

e2e_key alt+n
e2e_wait_repaint generated generated-again 20 10 "a second Generate showed the same character"

e2e_key alt+x
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit ended the program with status $E2E_EXIT_STATUS"
