#!/usr/bin/env bash
# Under GNOME's dark style through Qt's GTK platform theme, as GNOME desktops run Qt programs:
# the status line's green is read on a background it can be read on, straight from the
# screen, and the desktop's own file dialogs carry their titles.
source "$E2E_LIB" "$@"

MAIN="Quelvane Cadrelant Generator"
e2e_start_xvfb
# The theme's settings stay in this run's folder.
export HOME=$E2E_TMP/home XDG_CONFIG_HOME=$E2E_TMP/config
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
e2e_start_app QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
main=$(e2e_wait_window "$MAIN")
e2e_focus "$main"
e2e_key alt+n
e2e_screenshot dark

# A pixel's colour as "r g b", at (x, y) pixels inside Main.
pixel() {
    read -r left top _ _ < <(e2e_geometry "$main")
    convert "$E2E_OUT/dark.png" -format "%[fx:int(255*u.r)] %[fx:int(255*u.g)] %[fx:int(255*u.b)]" \
        -crop "1x1+$((left + $1))+$((top + $2))" info:
}
# Relative luminance of "r g b", then the contrast of two, as screen readers' guides define them.
contrast() {
    awk -v a="$1" -v b="$2" 'function lin(c) { c /= 255; return c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ^ 2.4 }
        function lum(s,  p) { split(s, p, " "); return 0.2126 * lin(p[1]) + 0.7152 * lin(p[2]) + 0.0722 * lin(p[3]) }
        BEGIN { x = lum(a) + 0.05; y = lum(b) + 0.05; printf "%.2f", (x > y ? x / y : y / x) }'
}

# The theme is in force: the Generate button's face (236, 92) is dark, not the standard grey.
face=$(pixel 200 92)
awk -v p="$face" 'BEGIN { split(p, c, " "); exit !(c[1] + c[2] + c[3] < 3 * 100) }' ||
    e2e_fail "the dark theme is not in force: a button's face is $face"
# The status line (16, 16, 289 x 49 pixels): its background in the bottom right, inside the
# frame, and its green.
behind=$(pixel 300 60)
ratio=$(contrast "0 192 0" "$behind")
awk -v r="$ratio" 'BEGIN { exit !(r >= 4.5) }' ||
    e2e_fail "the status line's green on $behind has a contrast of $ratio, below 4.5"
e2e_log "status line: green on $behind, contrast $ratio"

# The file dialogs: the desktop's own, each with its title.
e2e_key alt+l
dialog=$(e2e_wait_window "Open")
e2e_key Escape
e2e_wait_window_gone "Open"
e2e_focus "$main"
e2e_key alt+s
dialog=$(e2e_wait_window "Save As")
e2e_key Escape
e2e_wait_window_gone "Save As"
