#!/bin/sh
# Writes tests/data/draw-rules-chessjs.tsv: chess.js's (npm) threefold, insufficient-material
# and draw answers for each case of tests/data/draw-rules.tsv. The engine tests compare
# Norvane's answers with these lines, offline. Run again when the table changes:
#   tests/differential/draw-rules.sh
set -eu
here=$(cd "$(dirname "$0")/../.." && pwd)
work=${TMPDIR:-/tmp}/norvane-chessjs
mkdir -p "$work"
[ -d "$work/node_modules/chess.js" ] || (cd "$work" && npm install --silent --no-audit --no-fund chess.js@1 >/dev/null)
data=$here/tests/data
{
    echo "# chess.js $(node -p "require('$work/node_modules/chess.js/package.json').version"): name, threefold, insufficient, draw"
    CHESSJS_DIR=$work node "$here/tests/differential/draw-rules.mjs" "$data/draw-rules.tsv"
} >"$data/draw-rules-chessjs.tsv"
echo "$(grep -vc '^#' "$data/draw-rules-chessjs.tsv") cases written to tests/data/draw-rules-chessjs.tsv"
