#!/usr/bin/env bash
# Turns the rows that the tools wrote into the printed table and results.json.
#   usage: report.sh ROWS.tsv RESULTS.json
set -euo pipefail

rows=$1
json=$2
cpu=$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)
cores=$(nproc)
commit=$(git -C "$(dirname "$0")" rev-parse --short HEAD 2>/dev/null || echo unknown)

awk -F'\t' -v json="$json" -v cpu="$cpu" -v cores="$cores" -v commit="$commit" '
function num(s) { return s == "-" ? "" : s + 0 }
function jnum(s) { return s == "-" ? "null" : s }
function jstr(s) { gsub(/\\/, "\\\\", s); gsub(/"/, "\\\"", s); return "\"" s "\"" }
function fig(s, unit) {
    if (s == "-") return "-"
    if (unit == "ns") return sprintf("%.0f ns", s)
    if (unit == "ms") return sprintf("%.2f ms", s)
    if (unit == "s") return sprintf("%.3f s", s)
    if (unit == "MB") return sprintf("%.1f MB", s)
    return s " " unit
}
{
    name = $1; how = $2; unit = $3; median = $4; p90 = $5; reps = $6
    baseline = $7; limit = $8; kind = $9; stretch = $10
    measured = median != "-"
    ratio = (measured && baseline != "-" && baseline > 0) ? median / baseline : ""
    if (!measured) met = "pending"
    else if (limit == "-") met = "-"
    else if (kind == "ratio") met = (ratio != "" && ratio <= limit) ? "yes" : "NO"
    else met = (median <= limit) ? "yes" : "NO"
    if (met == "yes" && stretch != "-" && median <= stretch) met = "yes (stretch)"
    goal = kind == "ratio" ? sprintf("<= %sx baseline", limit) : (limit == "-" ? "-" : "<= " fig(limit, unit))
    if (stretch != "-") goal = goal ", stretch " fig(stretch, unit)
    line[NR] = sprintf("| %-22s | %12s | %12s | %5s | %12s | %6s | %-30s | %-13s |", name,
        fig(median, unit), fig(p90, unit), reps, fig(baseline, unit),
        ratio == "" ? "-" : sprintf("%.2fx", ratio), goal, met)
    obj[NR] = sprintf("    {\"row\": %s, \"how\": %s, \"unit\": %s, \"median\": %s, \"p90\": %s, \"reps\": %d, " \
        "\"baseline\": %s, \"ratio\": %s, \"limit\": %s, \"limit_kind\": %s, \"stretch\": %s, \"met\": %s}",
        jstr(name), jstr(how), jstr(unit), jnum(median), jnum(p90), reps, jnum(baseline),
        ratio == "" ? "null" : sprintf("%.4f", ratio), jnum(limit), jstr(kind), jnum(stretch),
        met == "pending" ? "null" : (met ~ /^yes/ ? "true" : "false"))
    misses += (met == "NO")
}
END {
    printf "Machine: %s, %d cores; commit %s\n\n", cpu, cores, commit
    printf "| %-22s | %12s | %12s | %5s | %12s | %6s | %-30s | %-13s |\n", "row", "median", "p90", "reps", "baseline", "ratio", "goal", "met"
    printf "|%s|%s|%s|%s|%s|%s|%s|%s|\n", "------------------------", "--------------", "--------------", "-------", "--------------", "--------", "--------------------------------", "---------------"
    for (i = 1; i <= NR; ++i) print line[i]
    printf "{\n  \"machine\": {\"cpu\": %s, \"cores\": %d},\n  \"commit\": %s,\n  \"rows\": [\n", jstr(cpu), cores, jstr(commit) > json
    for (i = 1; i <= NR; ++i) printf "%s%s\n", obj[i], i < NR ? "," : "" > json
    printf "  ]\n}\n" > json
    if (misses) printf "\n%d row(s) miss their goal.\n", misses
}' "$rows"
echo
echo "Figures also in $json"
