#!/bin/sh
# The game review's speed with Stockfish (or ENGINE): a 40-move game and a file's first 100
# games at a fixed node budget on 1 and 2 threads, each against the sum of its positions'
# search times (the parallel efficiency), the time until the first move is judged, and a
# 37-move game at depth 20. NODES (BATCH_NODES for the batch of games), GAMES and DEPTH change
# the figures' size.
set -eu
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
ENGINE=${ENGINE:-/usr/games/stockfish}
FILE=${FILE:-tests/data/twic944.pgn}
NODES=${NODES:-200000}
BATCH_NODES=${BATCH_NODES:-$NODES}
GAMES=${GAMES:-100}
DEPTH=${DEPTH:-20}
[ -x "$ENGINE" ] || { echo "no engine at $ENGINE (install stockfish, or set ENGINE)" >&2; exit 1; }
cmake --build "$BUILD" --target review_speed norvane-cli >/dev/null

# The first game of the file with exactly N full moves.
game_of_moves() {
    "$BUILD/norvane-cli" index "$FILE" | awk -F'\t' -v n="$1" '$5 == n { print $1; exit }'
}
forty=$(game_of_moves 40)
thirtyseven=$(game_of_moves 37)

echo "== a 40-move game, $NODES nodes per position"
"$BUILD/review_speed" "$ENGINE" "$FILE" "$forty" 1 nodes "$NODES" 1 2
echo "== the file's first $GAMES games, $BATCH_NODES nodes per position"
"$BUILD/review_speed" "$ENGINE" "$FILE" 0 "$GAMES" nodes "$BATCH_NODES" 1 2
echo "== a 37-move game at depth $DEPTH"
"$BUILD/review_speed" "$ENGINE" "$FILE" "$thirtyseven" 1 depth "$DEPTH" 1 2
