#!/usr/bin/env bash
# The three viewers as a person meets them: opened from the main window by access keys,
# moved between with their own buttons, Generate closing them all.
source "$E2E_LIB" "$@"

# A window's own picture.
shot() { import -window "$1" "$E2E_OUT/$2.png"; }
expect_focus_in() {
    local focused
    for _ in $(seq 200); do
        focused=$(xdotool getwindowfocus 2>/dev/null || true)
        [ "$focused" = "$1" ] && return 0
        sleep 0.05
    done
    e2e_fail "keyboard focus is on window $focused, expected $1 ($2)"
}

e2e_start_main
main=$E2E_MAIN
e2e_key alt+n
e2e_wait_text status ends-with " created."

# Inside at 1275, 1830 twips, 6405 x 5100.
e2e_key alt+a
stats=$(e2e_wait_window "View Attributes")
e2e_expect_geometry "$stats" "85 122 427 340"
expect_focus_in "$stats" "a viewer opens with the focus"
sleep 0.3
shot "$stats" attributes

# Typed text stays while the window is hidden. The Power box: 2040, 3960 twips.
e2e_click "$stats" 150 273
e2e_type "typed"
# "View Skills": 360, 4440 twips.
e2e_click "$stats" 84 312
e2e_wait_window_gone "View Attributes"
skills=$(e2e_wait_window "View Skills")
# Inside at 1560, 615 twips, 9810 x 7800.
e2e_expect_geometry "$skills" "104 41 654 520"
expect_focus_in "$skills" "View Skills shows the skills viewer"
sleep 0.3
shot "$skills" skills

# Focus starts on Main Menu; Tab reaches View Secrets, Enter presses it.
e2e_key Tab Return
e2e_wait_window_gone "View Skills"
secret=$(e2e_wait_window "View Secrets")
# Inside at 2280, 1500 twips, 6690 x 3180.
e2e_expect_geometry "$secret" "152 100 446 212"
sleep 0.3
shot "$secret" secrets

# Focus on Main Menu; Tab to View Attributes, Space presses it.
e2e_key Tab space
e2e_wait_window_gone "View Secrets"
again=$(e2e_wait_window "View Attributes")
[ "$again" = "$stats" ] || e2e_fail "View Attributes came back as a new window"
sleep 0.3
shot "$stats" attributes-again
power=$(e2e_read_field "View Attributes" "Power:")
[[ $power == *typed* ]] || e2e_fail "typed text lost while hidden: the Power box reads '$power'"

# Main Menu (4440, 4440 twips) hides the viewer and gives Main the focus.
e2e_click "$stats" 356 312
e2e_wait_window_gone "View Attributes"
expect_focus_in "$main" "Main Menu"

# All three open beside Main, each by its access key, then Generate closes them all.
e2e_key alt+k
e2e_wait_window "View Skills" >/dev/null
e2e_focus "$main"
e2e_key alt+c
e2e_wait_window "View Secrets" >/dev/null
e2e_focus "$main"
e2e_key alt+a
e2e_wait_window "View Attributes" >/dev/null
e2e_screenshot all-open
e2e_focus "$main"
e2e_key alt+n
for title in "View Attributes" "View Skills" "View Secrets"; do
    e2e_wait_window_gone "$title"
done

# Opened again, the attributes viewer is filled afresh: the typed text is gone.
e2e_key alt+a
stats=$(e2e_wait_window "View Attributes")
e2e_expect_geometry "$stats" "85 122 427 340"
sleep 0.3
shot "$stats" attributes-refilled
power=$(e2e_read_field "View Attributes" "Power:")
[[ $power =~ ^[0-9]+$ ]] || e2e_fail "the reopened viewer's Power box reads '$power'"

e2e_focus "$main"
e2e_key alt+x
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit ended the program with status $E2E_EXIT_STATUS"
