#!/bin/sh
# Writes tests/differential/twic944-tree.txt: the opening explorer's expected counts at a few
# positions of twic944.pgn, counted by chess.js (npm) replaying every game. The records tests
# compare the explorer against this file, so that `make test` needs neither node nor the
# registry. Run again after changing the positions or the counting rules.
#   tests/differential/tree-vs-chessjs.sh
set -eu
here=$(cd "$(dirname "$0")/../.." && pwd)
work=${TMPDIR:-/tmp}/norvane-chessjs
mkdir -p "$work"
[ -d "$work/node_modules/chess.js" ] || (cd "$work" && npm install --silent --no-audit --no-fund chess.js@1 >/dev/null)
CHESSJS_DIR=$work node "$here/tests/differential/tree-counts.mjs" "$here/tests/data/twic944.pgn" \
    "" "e4" "e4 c5" "e4 c5 Nf3 d6 d4 cxd4 Nxd4 Nf6 Nc3" "d4 Nf6 c4 e6" "Nf3 Nf6 c4 e6 Nc3 d5 d4" \
    "e4 e5 Nf3 Nc6 Bb5 a6 Ba4 Nf6 O-O Be7 Re1 b5 Bb3 d6 c3 O-O h3" \
    >"$here/tests/differential/twic944-tree.txt"
head -1 "$here/tests/differential/twic944-tree.txt"
