#!/bin/sh
# Runs every position of the perft suite to its deepest listed depth (the start position to
# depth 6) with norvane-cli and compares each count with the published one. The test suite
# runs the same positions at shallower depths; this script covers the deep counts.
set -eu
cd "$(dirname "$0")/.."
CLI=${CLI:-build/norvane-cli}
SUITE=tests/data/perft-standard.perft
[ -x "$CLI" ] || { echo "build first: make build" >&2; exit 1; }

failures=0
while IFS='|' read -r id fen depth expected; do
    result=$("$CLI" perft "$depth" --fen "$fen")
    nodes=$(echo "$result" | awk '$1 == "nodes" { print $2 }')
    nps=$(echo "$result" | awk '$1 == "nps" { print $2 }')
    if [ "$nodes" = "$expected" ]; then verdict=ok; else verdict="FAIL (expected $expected)"; failures=$((failures + 1)); fi
    printf '%-20s depth %d  %12s leaves  %10s leaves/s  %s\n' "$id" "$depth" "$nodes" "$nps" "$verdict"
done <<EOF_SUITE
$(awk '$1 == "id" { id = $2 } $1 == "epd" { $1 = ""; fen[id] = substr($0, 2) } $1 == "perft" { depth[id] = $2; nodes[id] = $3 }
       END { for (i in depth) print i "|" fen[i] "|" depth[i] "|" nodes[i] }' "$SUITE" | sort)
EOF_SUITE
[ "$failures" -eq 0 ] || { echo "$failures position(s) disagree" >&2; exit 1; }
