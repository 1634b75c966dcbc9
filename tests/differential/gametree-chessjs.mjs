// chess.js (npm) against Norvane's lossless writer, on the annotated fixtures: every game
// chess.js reads is read again by it from `norvane-cli game FILE N --annotated`, and the two
// readings must give the same main line and the same comments. Prints, per game chess.js
// reads, "FILE<TAB>N<TAB>SAN ...<TAB>PLY ..." (the main line and the plies after which a
// comment stands, 0 before the first move) for tests/data/annotated-chessjs.txt, and the
// differences on standard error; exits 1 when there is one.
// Usage: node gametree-chessjs.mjs CLI FILE.pgn ...   (chess.js resolved from CHESSJS_DIR)
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { basename } from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(process.env.CHESSJS_DIR + '/');
const { Chess } = require('chess.js');
const [cli, ...files] = process.argv.slice(2);

// The main line and its comments, each at the ply it stands after; null when unreadable.
function reading(text) {
    const chess = new Chess();
    try {
        chess.loadPgn(text);
    } catch {
        return null;
    }
    const moves = chess.history({ verbose: true });
    const plies = new Map([[moves.length ? moves[0].before : chess.fen(), 0]]);
    moves.forEach((move, i) => plies.set(move.after, i + 1));
    const comments = chess.getComments()
        .filter((c) => plies.has(c.fen))
        .map((c) => ({ ply: plies.get(c.fen), comment: c.comment }))
        .sort((a, b) => a.ply - b.ply);
    return { sans: moves.map((m) => m.san), comments };
}

let differ = 0;
for (const file of files) {
    const bytes = readFileSync(file);
    const rows = execFileSync(cli, ['index', file], { maxBuffer: 1 << 28, stdio: ['ignore', 'pipe', 'ignore'] })
        .toString().split('\n').filter((row) => /^\d+\t/.test(row));
    for (const row of rows) {
        const fields = row.split('\t');
        const [number, start, end] = [fields[0], Number(fields[7]), Number(fields[8])]; // the byte range
        const original = reading(bytes.subarray(start, end + 1).toString('utf8'));
        if (!original) continue;
        let written = null;
        try {
            written = reading(execFileSync(cli, ['game', file, number, '--annotated'], { stdio: ['ignore', 'pipe', 'ignore'] }).toString());
        } catch {
            written = null;
        }
        const name = `${basename(file)} game ${number}`;
        if (!written) {
            console.error(`${name}: chess.js cannot read the written game`);
            ++differ;
        } else if (JSON.stringify(written) !== JSON.stringify(original)) {
            console.error(`${name}: chess.js reads the written game differently`);
            ++differ;
        }
        console.log(`${basename(file)}\t${number}\t${original.sans.join(' ')}\t${original.comments.map((c) => c.ply).join(' ')}`);
    }
}
process.exit(differ ? 1 : 0);
