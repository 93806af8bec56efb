#!/usr/bin/env bash
# Starts the program; the window needs a display.
set -u
build=${1:-build}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "quelvane: no display found (DISPLAY is not set); the window needs a graphical desktop." >&2
    exit 1
fi
exec "$build/bin/quelvane"
