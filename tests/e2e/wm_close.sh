#!/usr/bin/env bash
# The main window has no title bar, so besides Exit only the desktop's close (Alt+F4) leaves
# it. A window manager closes a window by sending it WM_DELETE_WINDOW, and only when the
# window lists that protocol and its Motif hints do not withhold the close function. With
# two viewers open, that close must end the program as Exit does.
source "$E2E_LIB" "$@"

e2e_start_xvfb
e2e_start_app
main=$(e2e_wait_window "Quelvane Cadrelant Generator")

xprop -id "$main" WM_PROTOCOLS | grep -q 'WM_DELETE_WINDOW' \
    || e2e_fail "the main window does not take WM_DELETE_WINDOW: $(xprop -id "$main" WM_PROTOCOLS)"
# flags, functions, decorations, ...: with the functions flag (bit 0) set, close (0x20) or
# all (0x1) must be among them.
hints=$(xprop -id "$main" _MOTIF_WM_HINTS | sed -n 's/.* = //p' | tr -d ' ')
IFS=, read -r flags functions _ <<<"$hints"
if [ -n "$flags" ] && (( flags & 1 )) && ! (( functions & 0x21 )); then
    e2e_fail "the window manager is told not to close the main window (_MOTIF_WM_HINTS $hints)"
fi

e2e_focus "$main"
e2e_key alt+a
e2e_wait_window "View Attributes" >/dev/null
e2e_focus "$main"
e2e_key alt+k
e2e_wait_window "View Skills" >/dev/null

python3 "$(dirname "${BASH_SOURCE[0]}")/wm_delete.py" "$main" || e2e_fail "could not send WM_DELETE_WINDOW"
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "the close ended the program with status $E2E_EXIT_STATUS"
