#!/bin/sh
# Writes tests/data/setup-positions.fens: the final position of every game from a set-up
# position in the fixtures, as chess.js (npm) replays it. The record tests compare Norvane's
# replay with these lines, offline. Run again when a fixture changes:
#   tests/differential/setup-fens.sh        (needs a build in $BUILD, default build/)
set -eu
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD:-$here/build}
work=${TMPDIR:-/tmp}/norvane-chessjs
mkdir -p "$work"
[ -x "$build/norvane-cli" ] || { echo "no $build/norvane-cli: run 'make build' first" >&2; exit 1; }
[ -d "$work/node_modules/chess.js" ] || (cd "$work" && npm install --silent --no-audit --no-fund chess.js@1 >/dev/null)
data=$here/tests/data
CHESSJS_DIR=$work node "$here/tests/differential/setup-fens.mjs" "$build/norvane-cli" \
    "$data/setup-positions.pgn" "$data/pgn4web-test.pgn" "$data/carlsen-chesscom.pgn" \
    >"$data/setup-positions.fens"
echo "$(wc -l <"$data/setup-positions.fens") games written to tests/data/setup-positions.fens"
