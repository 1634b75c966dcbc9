#!/bin/bash
# The opening explorer on the large file of bench/pgn-vs-peer.sh (about 300 MB): its build
# time and memory against the same-position search pass over the same file, and the time to
# answer one position.
#
#   bench/tree-vs-position-pass.sh [BLOCKS]     (default 80, as bench/pgn-vs-peer.sh)
#
# Needs a Release build in $BUILD (default build/) and the large file, which
# bench/pgn-vs-peer.sh makes under ${TMPDIR:-/tmp}/norvane-bench.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$here/build}
blocks=${1:-80}
big=${TMPDIR:-/tmp}/norvane-bench/big-$blocks.pgn
line="e4 c5 Nf3 d6 d4 cxd4 Nxd4 Nf6 Nc3 a6"
[ -s "$big" ] || { echo "no $big: run bench/pgn-vs-peer.sh $blocks first" >&2; exit 1; }
cat "$big" >/dev/null

# "wall cpu maxrss_kB" of one run, output discarded.
measure() {
    /usr/bin/time -f '%e %U %S %M' "$@" 2>&1 >/dev/null | tail -1 |
        awk '{ printf "%.3f %.3f %d", $1, $2 + $3, $4 }'
}
best() {  # the run of three with the least processor time
    local b="" t
    for _ in 1 2 3; do
        t=$(measure "$@")
        if [ -z "$b" ] || awk -v t="$(echo "$t" | cut -d' ' -f2)" -v b="$(echo "$b" | cut -d' ' -f2)" \
            'BEGIN { exit !(t < b) }'; then b=$t; fi
    done
    echo "$b"
}

echo "file: $big, $(stat -c %s "$big") bytes"
index=$(best "$build/norvane-cli" index "$big")
search=$(best "$build/norvane-cli" search "$big" --position "$line")
tree=$(best "$build/norvane-cli" tree "$big" --position "$line")
printf '%-34s %8s %8s %10s\n' "" "wall s" "cpu s" "max RSS MB"
for row in "index pass:$index" "position pass (search):$search" "tree build and one answer:$tree"; do
    set -- ${row#*:}
    printf '%-34s %8s %8s %10.1f\n' "${row%%:*}" "$1" "$2" "$(awk -v k="$3" 'BEGIN { print k / 1024 }')"
done
set -- $search; s_wall=$1; s_cpu=$2
set -- $index; i_cpu=$2
set -- $tree; t_wall=$1; t_cpu=$2
awk -v t="$t_cpu" -v s="$s_cpu" -v i="$i_cpu" -v tw="$t_wall" -v sw="$s_wall" 'BEGIN {
    printf "tree build / position pass: %.2f x by wall clock, %.2f x by processor time (tree over the index pass: %.2f x)\n", tw / sw, t / s, t / i }'
echo
NORVANE_TREE_FILE=$big "$build/bench_tree" --benchmark_counters_tabular=true 2>/dev/null
