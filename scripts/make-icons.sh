#!/usr/bin/env bash
# Regenerates the icons from scripts/make-icon.py: the window's XPM, the theme's SVG and its
# PNGs rendered from that SVG. Needs python3 and rsvg-convert (librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."
icons=resources/desktop/icons
name=org.quelvane.CadrelantGenerator
python3 scripts/make-icon.py >resources/icon.xpm
python3 scripts/make-icon.py --svg >"$icons/$name.svg"
for size in 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$icons/$name.svg" -o "$icons/$name-$size.png"
done
