#!/bin/sh
# Differential check of the SAN writer and reader against chess.js (npm): every legal move in
# every position of the main lines of the real games in tests/data is written by both and
# read by both. Not part of `make test`: it needs node, npm and the registry.
#   tests/differential/san-vs-chessjs.sh        (needs a build in $BUILD, default build/)
set -eu
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD:-$here/build}
work=${TMPDIR:-/tmp}/norvane-chessjs
mkdir -p "$work"
[ -f "$build/libnorvane_core.a" ] || { echo "no $build/libnorvane_core.a: run 'make build' first" >&2; exit 1; }
[ -d "$work/node_modules/chess.js" ] || (cd "$work" && npm install --silent --no-audit --no-fund chess.js@1 >/dev/null)
g++ -std=c++20 -O2 -I"$here" -o "$work/san_tool" "$here/tests/differential/san_tool.cpp" "$build/libnorvane_core.a"
data=$here/tests/data
CHESSJS_DIR=$work node "$here/tests/differential/compare.mjs" "$work/san_tool" \
    "$data/twic944.pgn" "$data/capablanca.pgn" "$data/carlsen-chesscom.pgn" \
    "$data/chess-informant-sample.pgn" "$data/kasparov-deep-blue-1997.pgn" \
    "$data/chessbase-empty-line.pgn" "$data/lichess-annotated.pgn" "$data/nested-variations.pgn" \
    "$data/utf8-bom.pgn"
