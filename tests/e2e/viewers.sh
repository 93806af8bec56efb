#!/usr/bin/env bash
# The three viewers as a person meets them: opened from the main window by access keys,
# moved between with their own buttons, Generate closing them all.
source "$E2E_LIB" "$@"

# A window's own picture.
shot() { import -window "$1" "$E2E_OUT/$2.png"; }
# Pixels that differ between the same region (w h x y) of two screenshots.
region_changed() {
    local geometry=$3
    convert "$E2E_OUT/$1.png" -crop "$geometry" +repage "$E2E_TMP/a.png"
    convert "$E2E_OUT/$2.png" -crop "$geometry" +repage "$E2E_TMP/b.png"
    { compare -metric AE "$E2E_TMP/a.png" "$E2E_TMP/b.png" null: 2>&1 || true; } | awk '{print int($1)}'
}
expect_focus_in() {
    local focused
    for _ in $(seq 40); do
        focused=$(xdotool getwindowfocus 2>/dev/null || true)
        [ "$focused" = "$1" ] && return 0
        sleep 0.05
    done
    e2e_fail "keyboard focus is on window $focused, expected $1 ($2)"
}

# The Power box of the attributes viewer: 2040, 3960, 495 x 285 twips.
POWER_BOX="33x19+136+264"

e2e_start_xvfb
e2e_start_app
main=$(e2e_wait_window "Quelvane Cadrelant Generator")
sleep 0.5
e2e_focus "$main"
e2e_key alt+n

# Inside at 1275, 1830 twips, 6405 x 5100.
e2e_key alt+a
stats=$(e2e_wait_window "View Attributes")
e2e_expect_geometry "$stats" "85 122 427 340"
expect_focus_in "$stats" "a viewer opens with the focus"
sleep 0.3
shot "$stats" attributes

# Typed text stays while the window is hidden.
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
changed=$(region_changed attributes attributes-again "$POWER_BOX")
[ "$changed" -gt 20 ] || e2e_fail "typed text lost while hidden ($changed pixels changed)"

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
changed=$(region_changed attributes-again attributes-refilled "$POWER_BOX")
[ "$changed" -gt 20 ] || e2e_fail "the reopened viewer still shows the typed text"

e2e_focus "$main"
e2e_key alt+x
e2e_wait_exit 10
[ "$E2E_EXIT_STATUS" -eq 0 ] || e2e_fail "Exit ended the program with status $E2E_EXIT_STATUS"
