#!/bin/sh
# chess.js (npm) reads the games Norvane's lossless writer writes as it reads the originals:
# the same main line and comments, for every game of the annotated fixtures it can read.
# Writes tests/data/annotated-chessjs.txt (the main lines and the plies of their comments as
# chess.js reads them), which the record tests compare with the game tree offline. Run again
# when a fixture changes:
#   tests/differential/gametree-chessjs.sh        (needs a build in $BUILD, default build/)
set -eu
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD:-$here/build}
work=${TMPDIR:-/tmp}/norvane-chessjs
mkdir -p "$work"
[ -x "$build/norvane-cli" ] || { echo "no $build/norvane-cli: run 'make build' first" >&2; exit 1; }
[ -d "$work/node_modules/chess.js" ] || (cd "$work" && npm install --silent --no-audit --no-fund chess.js@1 >/dev/null)
data=$here/tests/data
CHESSJS_DIR=$work node "$here/tests/differential/gametree-chessjs.mjs" "$build/norvane-cli" \
    "$data/lichess-annotated.pgn" "$data/chess-informant-sample.pgn" "$data/nested-variations.pgn" \
    "$data/pgn4web-test.pgn" "$data/study-annotated.pgn" >"$data/annotated-chessjs.txt"
echo "$(wc -l <"$data/annotated-chessjs.txt") games read alike by chess.js, written to tests/data/annotated-chessjs.txt"
