#!/usr/bin/env bash
# Starts the program. The window needs a display; without one, roll a character on the
# terminal instead, so the program's main job still gets done.
set -u
build=${1:-build}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "quelvane: no display found (DISPLAY is not set); the window needs a graphical desktop." >&2
    echo "quelvane: rolling one character with quelvane-roll instead ($build/bin/quelvane-roll --help for more)." >&2
    "$build/bin/quelvane-roll" || exit $?
    exit 0
fi
exec "$build/bin/quelvane"
