// chess.js's answers for the draw-rule table (tests/data/draw-rules.tsv): one line per case,
// "NAME<TAB>threefold<TAB>insufficient<TAB>draw", each 0 or 1, from isThreefoldRepetition,
// isInsufficientMaterial and isDraw after the case's moves.
// Usage: node draw-rules.mjs TABLE.tsv   (chess.js resolved from CHESSJS_DIR)
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';

const require = createRequire(process.env.CHESSJS_DIR + '/');
const { Chess } = require('chess.js');

for (const row of readFileSync(process.argv[2], 'utf8').split('\n')) {
    if (row === '' || row.startsWith('#')) continue;
    const [name, start, moves] = row.split('\t');
    const chess = start === 'startpos' ? new Chess() : new Chess(start);
    for (const move of moves.split(' ').filter((m) => m !== ''))
        chess.move({ from: move.slice(0, 2), to: move.slice(2, 4), promotion: move[4] });
    const bit = (b) => (b ? 1 : 0);
    console.log([name, bit(chess.isThreefoldRepetition()), bit(chess.isInsufficientMaterial()),
                 bit(chess.isDraw())].join('\t'));
}
