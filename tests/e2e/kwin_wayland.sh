#!/usr/bin/env bash
# The program in a real KWin Wayland session, started as the session starts programs (DISPLAY
# and WAYLAND_DISPLAY both set): on XWayland every window has its designed place, Main Menu
# brings Main to the top with the focus and the about box stays on top; natively on Wayland,
# where the compositor or Qt draws the title bars, every window's inside keeps its designed
# size, nothing of it cut away.
source "$E2E_LIB" "$@"
source "$(dirname "${BASH_SOURCE[0]}")/kwin_session.sh"

MAIN="Quelvane Cadrelant Generator"
# The about box has no caption: Qt names it after the program, or leaves it untitled.
is_about() { [ "$1" = quelvane ] || [ "$1" = "(untitled)" ]; }

# Each viewer: its title, the key that opens it from Main, the keys that press its Main Menu
# button (the focus starts on its first button in tab order), and its inside in pixels at
# 96 DPI (x y width height, from its designed twips).
VIEWERS=(
    "View Attributes|alt+a|Tab Tab Return|85 122 427 340"   # 1275, 1830 twips; 6405 x 5100
    "View Skills|alt+k|Return|104 41 654 520"               # 1560, 615; 9810 x 7800
    "View Secrets|alt+c|Return|152 100 446 212"             # 2280, 1500; 6690 x 3180
)
MAIN_INSIDE="175 91 321 319"                 # 2625, 1365; 4815 x 4785
ABOUT_SIZE="382 198"                         # 5730 x 2970

# $1: the client Main must be (x11 or wayland). Sets x and y to Main's place on the screen.
wait_main() {
    session_wait '[ -n "$(session_window "$MAIN")" ]' "Main to be shown" 20
    session_wait '[ "$(session_focus)" = "$MAIN" ]' "Main to have the focus at start"
    local client
    read -r _ x y _ <<<"$(session_window "$MAIN")"
    client=$(kwin_client "$MAIN")
    [ "$client" = "$1" ] || e2e_fail "Main is a $client window, expected $1"
}

# From Main, viewer $1 opens on its key $2, on top with the focus.
# (session_wait evaluates its check in its own frame: the title goes in a global.)
open_viewer() {
    want=$1
    session_key "$2"
    session_wait '[ "$(session_top)" = "$want" ] && [ "$(session_focus)" = "$want" ]' \
        "$1 to open on top with the focus"
}

# Main Menu, pressed with the keys $2: viewer $1 goes away, and Main comes back on top with
# the focus.
main_menu() {
    want=$1
    session_key $2
    session_wait '[ -z "$(session_window "$want")" ]' "Main Menu to put $1 away"
    session_wait '[ "$(session_top)" = "$MAIN" ] && [ "$(session_focus)" = "$MAIN" ]' \
        "Main Menu to bring Main to the top with the focus"
}

# Natively: the window titled $1 (for the about box: as is_about names it) is laid out at
# its designed inside size $2, and KWin's frame around it is no smaller.
expect_native_size() {
    local title=$1 size=$2 width height frame
    e2e_wait_text_size "$title" "$size"
    read -r width height <<<"$size"
    if [ "$title" = about ]; then
        frame=$(session_windows | tail -n 1 | cut -d ' ' -f 4-5)
    else
        frame=$(session_window "$title" | cut -d ' ' -f 4-5)
    fi
    read -r fw fh <<<"$frame"
    [ "${fw:-0}" -ge "$width" ] && [ "${fh:-0}" -ge "$height" ] ||
        e2e_fail "KWin shows $title at $frame, smaller than its inside $size: part of it is cut"
}
e2e_wait_text_size() {
    local title=$1
    # The screen reader names the untitled box after what it is.
    [ "$title" = about ] && title="About $MAIN"
    e2e_read size "$title" --equals "$2" --timeout 10 >/dev/null && return 0
    session_screenshot failure-native
    e2e_fail "the inside of $1 is $(e2e_read size "$title" --timeout 1 2>/dev/null || echo unknown), designed $2"
}

kwin_session_start

# 1. As the session starts it: XWayland, every window at its designed place.
e2e_start_app
wait_main x11
main_id=$(e2e_wait_window "$MAIN")
e2e_expect_geometry "$main_id" "$MAIN_INSIDE"
[ "$x $y" = "175 91" ] || e2e_fail "KWin shows Main at $x,$y, expected 175,91"
session_screenshot xwayland-main
for viewer in "${VIEWERS[@]}"; do
    IFS='|' read -r title key menu inside <<<"$viewer"
    open_viewer "$title" "$key"
    [ "$(kwin_client "$title")" = x11 ] || e2e_fail "$title is not an X11 window"
    e2e_expect_geometry "$(e2e_wait_window "$title")" "$inside"
    session_screenshot "xwayland-${title// /-}"
    main_menu "$title" "$menu"
done
# A click on Main's picture (600, 1080 twips) opens the about box on top with the focus; a
# click on Main's status line (240, 240 twips) leaves it there; Esc closes it.
session_click $((x + 88)) $((y + 116))
session_wait 'is_about "$(session_top)" && is_about "$(session_focus)"' "the about box to open on top with the focus"
session_screenshot xwayland-about
session_click $((x + 40)) $((y + 30))
session_wait 'is_about "$(session_top)" && is_about "$(session_focus)"' \
    "the about box to stay on top with the focus after a click on Main"
session_key Escape
session_wait '! is_about "$(session_top)"' "Esc to close the about box"
session_stop_app

# 2. Natively on Wayland, read over AT-SPI: each window's inside as the program lays it out.
native=()
[ -z "${ASAN_OPTIONS:-}" ] || native=("ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0")
e2e_start_atspi
e2e_start_app "${native[@]}" QT_QPA_PLATFORM=wayland
wait_main wayland
expect_native_size "$MAIN" "321 319"
session_screenshot native-main
for viewer in "${VIEWERS[@]}"; do
    IFS='|' read -r title key menu inside <<<"$viewer"
    open_viewer "$title" "$key"
    expect_native_size "$title" "${inside#* * }"
    session_screenshot "native-${title// /-}"
    main_menu "$title" "$menu"
done
session_click $((x + 88)) $((y + 116))
session_wait 'is_about "$(session_top)"' "the about box to open on top"
expect_native_size about "$ABOUT_SIZE"
session_screenshot native-about
read -r _ ax ay _ <<<"$(session_windows | tail -n 1)"
session_click $((ax + 20)) $((ay + 20))
session_key Escape
session_wait '! is_about "$(session_top)"' "Esc to close the about box"
session_stop_app
