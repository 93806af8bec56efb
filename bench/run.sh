#!/usr/bin/env bash
# Runs every benchmark of an optimised build and prints one table; the same figures go to
# results.json beside the tools' own logs.   usage: run.sh BUILD_DIR OUT_DIR
set -euo pipefail

build=$(realpath "$1")
out=$2
mkdir -p "$out"
out=$(realpath "$out")
tools=$build/bench
rows=$out/rows.tsv
: >"$rows"
tmp=$(mktemp -d)
# The print scheduler inside runs filters as its own user, who must reach its spool.
chmod 755 "$tmp"
xvfb_pid=""

source "$(dirname "$0")/cups.sh"

cleanup() {
    cups_stop
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT

say() { echo "bench: $*" >&2; }

export XDG_RUNTIME_DIR=$tmp/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
# No session bus: every start is a program of its own, never handed to one the user runs.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$tmp/no-session-bus"

# A row that could not be measured, with the reason in place of the method.
pending() { printf '%s\t%s\tms\t-\t-\t0\t-\t-\tabs\t-\n' "$1" "not measured: $2" >>"$rows"; }

say "GenerateCharacter (Google Benchmark)"
"$tools/bench_generator" --out "$rows" \
    --benchmark_repetitions=20 --benchmark_min_time=0.1 \
    --benchmark_out="$out/generator.json" --benchmark_out_format=json >"$out/generator.log" 2>&1

say "commands in-process (offscreen)"
"$tools/bench_commands" --reps "${BENCH_REPS:-300}" --out "$rows" 2>"$out/commands.log"

# A private X server at 96 DPI, as the end-to-end tests use.
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$tmp/display" 2>"$out/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    sleep 0.05
done
[ -s "$tmp/display" ] || { say "Xvfb did not start"; exit 1; }
export DISPLAY=":$(tr -d '[:space:]' <"$tmp/display")"

# The print in the memory row goes to a private scheduler whose default queue discards it.
unset PRINTER LPDEST
cups_start "$tmp/cups" || { say "the private CUPS scheduler did not start: $(cat "$tmp/cups/log/"* 2>/dev/null)"; exit 1; }

say "start-up and memory under Xvfb (quelvane and the empty window in turn), then every window and a print"
"$tools/startup_watch" --runs "${BENCH_RUNS:-25}" --out "$rows" --snapshot-dir "$out" \
    --drive "$(dirname "$0")/drive_every_window.sh" --drive-runs "${BENCH_DRIVE_RUNS:-5}" \
    "$build/bin/quelvane" "$tools/empty_window" 2>"$out/startup.log"

if [ -x "$build/bin/quelvane-roll" ]; then
    say "batch: quelvane-roll -n 10000"
    times=()
    for _ in $(seq "${BENCH_BATCH_RUNS:-15}"); do
        start=$(date +%s%N)
        "$build/bin/quelvane-roll" -n 10000 >/dev/null 2>"$out/roll.log"
        times+=($(( $(date +%s%N) - start )))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk -v rows="$rows" '
        { v[NR] = $1 / 1e9 }
        END {
            m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            p = v[int(NR * 0.9 + 0.999999)]
            printf "batch\tquelvane-roll -n 10000 > /dev/null, whole process\ts\t%.4g\t%.4g\t%d\t-\t0.2\tabs\t-\n", m, p, NR >> rows
        }'
else
    pending "batch" "quelvane-roll is not built"
fi

# The PDF per page: whole process, 200 pages, divided by 200. BENCH_PDF_BASELINE may name
# an older quelvane-roll to measure in the same run; the goal is a fifth of its time.
pdf_per_page() { # ROLL OUT.pdf: prints the median and p90 in ms per page
    local roll=$1 pdf=$2 t=()
    for _ in $(seq "${BENCH_PDF_RUNS:-7}"); do
        start=$(date +%s%N)
        "$roll" -n 200 --seed 1 --paper a4 --pdf "$pdf" >/dev/null 2>"$out/roll-pdf.log"
        t+=($(( $(date +%s%N) - start )))
    done
    printf '%s\n' "${t[@]}" | sort -n | awk '
        { v[NR] = $1 / 1e6 / 200 }
        END {
            m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%.4g %.4g %d\n", m, v[int(NR * 0.9 + 0.999999)], NR
        }'
}
if [ -x "$build/bin/quelvane-roll" ]; then
    say "PDF: quelvane-roll -n 200 --pdf"
    read -r median p90 reps < <(pdf_per_page "$build/bin/quelvane-roll" "$tmp/bench.pdf")
    size=$(stat -c %s "$tmp/bench.pdf")
    baseline=- kind=abs limit=2.2
    if [ -n "${BENCH_PDF_BASELINE:-}" ]; then
        say "PDF: the baseline, $BENCH_PDF_BASELINE"
        read -r baseline _ _ < <(pdf_per_page "$BENCH_PDF_BASELINE" "$tmp/baseline.pdf")
        base_size=$(stat -c %s "$tmp/baseline.pdf")
        kind=ratio limit=0.2
    fi
    printf 'pdf page\tquelvane-roll -n 200 --pdf, whole process / 200\tms\t%s\t%s\t%s\t%s\t%s\t%s\t-\n' \
        "$median" "$p90" "$reps" "$baseline" "$limit" "$kind" >>"$rows"
    printf 'pdf size per page\tsize of that PDF / 200\tKB\t%.3g\t-\t1\t%s\t-\tabs\t-\n' \
        "$(echo "$size / 200 / 1024" | bc -l)" \
        "$([ -n "${base_size:-}" ] && printf '%.3g' "$(echo "$base_size / 200 / 1024" | bc -l)" || echo -)" >>"$rows"
else
    pending "pdf page" "quelvane-roll is not built"
fi

bash "$(dirname "$0")/report.sh" "$rows" "$out/results.json"
