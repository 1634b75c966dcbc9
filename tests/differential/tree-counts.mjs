// The opening explorer's counts by chess.js: every game of a PGN file replayed from the start
// (games with a FEN tag left out), the positions of its first 30 plies matched by the first
// four fields of their FEN, each game counted once per position with the move it played
// there first. Prints, for each line of moves given, the moves played from its position
// ("san count white draws black lastyear", by SAN) and "games N".
// Usage: node tree-counts.mjs FILE.pgn "MOVE ..." ...   (chess.js from CHESSJS_DIR)
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';

const require = createRequire(process.env.CHESSJS_DIR + '/');
const { Chess } = require('chess.js');
const [file, ...lines] = process.argv.slice(2);
const depth = 30;

const key = (chess) => chess.fen().split(' ').slice(0, 4).join(' ');
const wanted = new Map();  // key -> { games, moves: Map san -> counts }
for (const line of lines) {
    const chess = new Chess();
    for (const san of line.split(/\s+/).filter(Boolean)) chess.move(san);
    wanted.set(key(chess), { line, games: 0, moves: new Map() });
}

const text = readFileSync(file, 'latin1').replace(/^\uFEFF/, '').replace(/\r\n/g, '\n');
let games = 0, unreadable = 0;
for (const chunk of text.split(/\n(?=\[Event )/)) {
    if (!chunk.includes('[') || /\[FEN "/.test(chunk)) continue;
    const chess = new Chess();
    try {
        chess.loadPgn(chunk);
    } catch {
        ++unreadable;
        continue;
    }
    ++games;
    const result = (chunk.trimEnd().match(/(1-0|0-1|1\/2-1\/2|\*)$/) || [])[1];
    const year = Number((chunk.match(/\[Date "(\d{4})/) || [0, 0])[1]);
    const history = chess.history();
    const replay = new Chess();
    const seen = new Set();
    for (let ply = 0; ply <= Math.min(depth, history.length); ++ply) {
        const here = key(replay);
        const move = ply < depth ? history[ply] : undefined;
        if (!seen.has(here)) {
            seen.add(here);
            const node = wanted.get(here);
            if (node) {
                ++node.games;
                if (move) {
                    const m = node.moves.get(move) ?? { count: 0, white: 0, draws: 0, black: 0, year: 0 };
                    ++m.count;
                    m.white += result === '1-0';
                    m.draws += result === '1/2-1/2';
                    m.black += result === '0-1';
                    m.year = Math.max(m.year, year);
                    node.moves.set(move, m);
                }
            }
        }
        if (move) replay.move(move);
    }
}
console.log(`# ${games} games replayed by chess.js, ${unreadable} it could not read`);
for (const node of wanted.values()) {
    console.log(`position ${node.line}`);
    for (const [san, m] of [...node.moves].sort((a, b) => (a[0] < b[0] ? -1 : a[0] > b[0] ? 1 : 0)))
        console.log(`${san} ${m.count} ${m.white} ${m.draws} ${m.black} ${m.year}`);
    console.log(`games ${node.games}`);
}
