#!/usr/bin/env bash
# Runs a single awk pass over FILE doing the costing-data mapping (the floor for reading,
# splitting and writing), then the whole flow of both wizards on the same file, ROUNDS times
# each, and prints wall and CPU times, their ratios to the awk pass and the peak memory.
#
#   bash bench/compare.sh FILE [ROUNDS]      (build first: bash tools/build.sh)
#
# A generated file: build/bench/flow_bench generate 100000 /tmp/lines-100k.csv
set -euo pipefail

if [[ $# -lt 1 || ! -r $1 ]]; then
    echo "usage: bench/compare.sh FILE [ROUNDS]" >&2
    exit 2
fi
FILE=$1
ROUNDS=${2:-3}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BENCH=${FLOW_BENCH:-$ROOT/build/bench/flow_bench}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Fields 1..12 each followed by ";", an empty 13th field, empty numeric fields 4..12 as "0".
awk_pass() {
    LC_ALL=C awk -F, 'BEGIN { RS = "\r\n|\n|\r" }
        { o = ""
          for (i = 1; i <= 13; i++) {
              v = i <= 12 ? $i : ""
              if (i >= 4 && i <= 12 && v == "") v = "0"
              o = o v ";"
          }
          print o }' "$FILE" >"$WORK/awk.out"
}

TIMEFORMAT='%R %U %S'
for ((R = 1; R <= ROUNDS; R++)); do
    { time awk_pass; } 2>"$WORK/time"
    awk '{ printf "awk %.1f %.1f -\n", $1 * 1000, ($2 + $3) * 1000 }' "$WORK/time" >>"$WORK/runs"
    for PROGRAM in morvane pellisk; do
        "$BENCH" "$PROGRAM" "$FILE" >"$WORK/out" 2>/dev/null
        awk -v P="$PROGRAM" '
            /^whole flow: /     { wall = $3 }
            /^whole flow cpu: / { cpu = $4 }
            /^peak resident: /  { peak = $3 }
            END { printf "%s %s %s %s\n", P, wall, cpu, peak }' "$WORK/out" >>"$WORK/runs"
    done
done

LINES=$(wc -l <"$FILE")
BYTES=$(wc -c <"$FILE")
echo "file: $FILE ($LINES lines, $((BYTES / 1048576)) MB), $ROUNDS rounds, $(nproc) cores"
sort -k1,1 -k2,2n "$WORK/runs" | awk '
    { n[$1]++; wall[$1, n[$1]] = $2; cpu[$1, n[$1]] = $3; peak[$1] = $4 }
    function median(a, p, k,   i, j, t, v) {
        for (i = 1; i <= k; i++) v[i] = a[p, i]
        for (i = 1; i <= k; i++) for (j = i + 1; j <= k; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
        return k % 2 ? v[(k + 1) / 2] : (v[k / 2] + v[k / 2 + 1]) / 2
    }
    function range(a, p, k,   i, lo, hi) {
        lo = hi = a[p, 1]
        for (i = 2; i <= k; i++) { if (a[p, i] < lo) lo = a[p, i]; if (a[p, i] > hi) hi = a[p, i] }
        return sprintf("%.0f-%.0f", lo, hi)
    }
    END {
        aw = median(wall, "awk", n["awk"]); ac = median(cpu, "awk", n["awk"])
        printf "%-8s %18s %18s %10s %10s %10s\n", "run", "wall ms (range)", "cpu ms (range)", "wall/awk", "cpu/awk", "peak MB"
        split("awk morvane pellisk", order, " ")
        for (o = 1; o <= 3; o++) {
            p = order[o]; k = n[p]
            printf "%-8s %6.0f (%9s) %6.0f (%9s) %10.2f %10.2f %10s\n", p,
                median(wall, p, k), range(wall, p, k), median(cpu, p, k), range(cpu, p, k),
                median(wall, p, k) / aw, median(cpu, p, k) / ac, peak[p]
        }
    }'
