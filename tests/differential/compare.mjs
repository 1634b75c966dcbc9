// Compares Norvane's SAN writer and reader with chess.js over every position of PGN files.
// Usage: node compare.mjs TOOL FILE.pgn ...   (chess.js resolved from NODE_PATH's folder)
import { spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';

const require = createRequire(process.env.CHESSJS_DIR + '/');
const { Chess } = require('chess.js');
const [tool, ...files] = process.argv.slice(2);

// Positions go to the tool in batches; only the compact text of each is kept meanwhile.
const seen = new Set();
let batch = [];
let games = 0, unreadable = 0, positions = 0, moves = 0, writerDiffs = 0, readerDiffs = 0;
const examples = [];
const note = (text) => { if (examples.length < 20) examples.push(text); };

function flush() {
    if (batch.length === 0) return;
    const input = batch.map((p) => `${p.fen}\t${p.sans.join(' ')}\n`).join('');
    const output = spawnSync(tool, [], { input, maxBuffer: 1 << 30 }).stdout.toString().split('\n');
    batch.forEach((p, i) => {
        const [ours, reads] = output[i].split('\t');
        const oursByUci = new Map(ours ? ours.split(' ').map((w) => w.split(':')) : []);
        const readUci = reads ? reads.split(' ') : [];
        if (oursByUci.size !== p.sans.length) {
            ++writerDiffs;
            note(`${p.fen}: ${oursByUci.size} legal moves here, ${p.sans.length} in chess.js`);
        }
        p.sans.forEach((san, k) => {
            ++moves;
            if (oursByUci.get(p.ucis[k]) !== san) {
                ++writerDiffs;
                note(`${p.fen}: ${p.ucis[k]} written ${oursByUci.get(p.ucis[k])}, chess.js ${san}`);
            }
            if (readUci[k] !== p.ucis[k]) {
                ++readerDiffs;
                note(`${p.fen}: ${san} read as ${readUci[k]}, chess.js ${p.ucis[k]}`);
            }
        });
    });
    batch = [];
}

// Every position reached in the main line of every game that chess.js reads, once each.
for (const file of files) {
    const text = readFileSync(file, 'latin1').replace(/^\uFEFF/, '').replace(/\r\n/g, '\n');
    for (const chunk of text.split(/\n(?=\[Event )/)) {
        if (!chunk.includes('[') || /\[FEN "/.test(chunk)) continue;  // set-ups are not replayed
        const chess = new Chess();
        try {
            chess.loadPgn(chunk);
        } catch {
            ++unreadable;
            continue;
        }
        ++games;
        const replay = new Chess();
        for (const move of [...chess.history(), null]) {
            const fen = replay.fen().split(' ').slice(0, 4).join(' ');
            if (!seen.has(fen)) {
                seen.add(fen);
                ++positions;
                const legal = replay.moves({ verbose: true });
                batch.push({ fen, sans: legal.map((m) => m.san),
                             ucis: legal.map((m) => m.from + m.to + (m.promotion ?? '')) });
                if (batch.length === 5000) flush();
            }
            if (move) replay.move(move);
        }
    }
}
flush();
console.log(`games ${games} (chess.js could not read ${unreadable}), positions ${positions}, legal moves ${moves}`);
console.log(`writer differences ${writerDiffs}, reader differences ${readerDiffs}`);
for (const e of examples) console.log('  ' + e);
process.exit(writerDiffs || readerDiffs ? 1 : 0);
