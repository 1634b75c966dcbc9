// The final position of every game from a set-up position (a FEN tag) in PGN files, as
// chess.js replays it: one line per game, "FILE<TAB>N<TAB>FEN", the FEN "-" where chess.js
// cannot read the game. Games are cut out by the byte ranges of `norvane-cli index`.
// Usage: node setup-fens.mjs CLI FILE.pgn ...   (chess.js resolved from CHESSJS_DIR)
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { basename } from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(process.env.CHESSJS_DIR + '/');
const { Chess } = require('chess.js');
const [cli, ...files] = process.argv.slice(2);

for (const file of files) {
    const bytes = readFileSync(file);
    const rows = execFileSync(cli, ['index', file], { maxBuffer: 1 << 28, stdio: ['ignore', 'pipe', 'ignore'] })
        .toString().split('\n').filter((row) => /^\d+\t/.test(row));
    for (const row of rows) {
        const fields = row.split('\t');
        const [number, start, end] = [fields[0], Number(fields[fields.length - 2]), Number(fields[fields.length - 1])];
        const text = bytes.subarray(start, end + 1).toString('utf8');
        if (!/\[FEN\s*"/.test(text)) continue;
        let fen = '-';
        try {
            const chess = new Chess();
            chess.loadPgn(text);
            fen = chess.fen();
        } catch {
            fen = '-';
        }
        console.log(`${basename(file)}\t${number}\t${fen}`);
    }
}
