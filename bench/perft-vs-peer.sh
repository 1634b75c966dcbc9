#!/bin/sh
# Perft speed of norvane-cli against polyglot's perft from Debian's archive, measured in the
# same run on the same machine: leaves per second for perft 6 of the initial position, both
# programs making every leaf move. Installs polyglot when it is missing (bench only).
set -eu
cd "$(dirname "$0")/.."
DEPTH=${DEPTH:-6}
CLI=${CLI:-build/norvane-cli}
PEER=/usr/games/polyglot

[ -x "$CLI" ] || { echo "build first: make build" >&2; exit 1; }
if [ ! -x "$PEER" ]; then
    SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get install -y -qq --no-install-recommends polyglot >/dev/null ||
        { $SUDO apt-get update -qq && $SUDO apt-get install -y -qq --no-install-recommends polyglot >/dev/null; }
fi

ours=$("$CLI" perft "$DEPTH")
our_nodes=$(echo "$ours" | awk '$1 == "nodes" { print $2 }')
our_rate=$(echo "$ours" | awk '$1 == "nps" { print $2 }')

# polyglot counts depths 1..DEPTH; its depth-DEPTH line gives leaves and seconds.
peer_line=$("$PEER" perft -max-depth "$DEPTH" 2>&1 | grep "depth= *$DEPTH ")
peer_nodes=$(echo "$peer_line" | sed 's/.*leafnodes= *\([0-9]*\).*/\1/')
peer_time=$(echo "$peer_line" | sed 's/.*time= *\([0-9.]*\)s.*/\1/')
peer_rate=$(awk -v n="$peer_nodes" -v t="$peer_time" 'BEGIN { printf "%d", (t > 0 ? n / t : 0) }')

[ "$our_nodes" = "$peer_nodes" ] || echo "WARNING: leaf counts differ: norvane $our_nodes, polyglot $peer_nodes"
echo "perft $DEPTH, initial position, $our_nodes leaves"
echo "norvane-cli  $our_rate leaves/s"
echo "polyglot     $peer_rate leaves/s"
awk -v a="$our_rate" -v b="$peer_rate" 'BEGIN { printf "ratio        %.2f\n", (b > 0 ? a / b : 0) }'
