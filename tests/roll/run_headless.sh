#!/usr/bin/env bash
# scripts/run.sh on a machine without a display: one rolled sheet, a note, exit status 0.
set -euo pipefail
source_dir=$1
build=$2
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

fail() { echo "run_headless: FAIL: $*" >&2; echo "--- stdout" >&2; cat "$out" >&2; echo "--- stderr" >&2; cat "$err" >&2; exit 1; }

status=0
env -u DISPLAY -u WAYLAND_DISPLAY bash "$source_dir/scripts/run.sh" "$build" >"$out" 2>"$err" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
grep -q "the window needs a graphical desktop" "$err" || fail "no word about the display"
grep -Eq '^quelvane-roll: seed [0-9]+$' "$err" || fail "no seed line"
[ "$(grep -c '^Quelvane Character Sheet$' "$out")" -eq 1 ] || fail "not exactly one sheet"
grep -Eq '^  Name: +[A-Z]{3}-R-[A-Z]{3}$' "$out" || fail "no rolled name"
grep -Eq ' Survival +([1-9]|10)$' "$out" || fail "no skills"

# A broken roll tool must not pass for a success.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY bash "$source_dir/scripts/run.sh" /nonexistent-build >"$out" 2>"$err" || status=$?
[ "$status" -ne 0 ] || fail "a missing quelvane-roll still reported success"
echo "run_headless: passed"
