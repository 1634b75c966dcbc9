#include <random>
#include <vector>

#include "engine/movegen.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "engine_fixture.h"

namespace {

std::uint64_t key(int colour, int piece, int square) { return zobristKeys[colour][piece][square]; }

Move coords(const char* text) {
    Move m{};
    EXPECT_TRUE(coordsToMove(text, &m)) << text;
    return m;
}

}  // namespace

TEST(MakeMove, DoublePushChangesExactlyItsKeys) {
    setupStartPosition();
    const std::uint64_t before = board.hashKey;
    const Move          e4     = coords("e2e4");
    EXPECT_EQ(e4.fromTo, 12 * 64 + 28);
    EXPECT_EQ(e4.piece, Pawn);
    EXPECT_EQ(e4.flags, 64 * 8);
    makeMove(e4);
    EXPECT_EQ(board.epSquare, NoSquare);
    EXPECT_EQ(board.hashKey, before ^ key(White, Pawn, 12) ^ key(White, Pawn, 28) ^ zobristKeys[White][0][4]);
    EXPECT_EQ(board.movedFrom[12], 1);
    EXPECT_EQ(board.sideToMove, Black);
}

TEST(MakeMove, EnPassantSquareOnlyWhenAPawnCanTake) {
    struct Case { const char* line; int epSquare; };
    const Case cases[] = {{"e2e4", NoSquare},                   // no black pawn beside e4
                          {"e2e4 a7a6 e4e5 d7d5", 43},          // d6: the e5 pawn can take
                          {"e2e4 a7a6 e4e5 f7f5", 45},          // f6
                          {"e2e4 a7a6 e4e5 d7d6", NoSquare},    // single step
                          {"a2a3 d7d5 a3a4 d5d4 e2e4", 20}};    // e3 for the d4 pawn
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(playLine(c.line));
        EXPECT_EQ(board.epSquare, c.epSquare);
        expectConsistentBoard();
    }
}

TEST(MakeMove, SpecialMovesAndTheirUnmaking) {
    struct Case {
        const char* name;
        const char* fen;
        const char* move;
        void (*check)();
    };
    const Case cases[] = {
        {"king-side castling", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "e1g1",
         [] {
             EXPECT_EQ(board.pieceBits[White][Rook], (Bitboard{1} << 0) | (Bitboard{1} << 5));
             EXPECT_EQ(board.kingSquare[White], 6);
         }},
        {"queen-side castling", "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "e8c8",
         [] {
             EXPECT_EQ(board.pieceBits[Black][Rook], (Bitboard{1} << 59) | (Bitboard{1} << 63));
             EXPECT_EQ(board.kingSquare[Black], 58);
         }},
        {"capture-promotion", "3rk3/4P3/8/8/8/8/8/4K3 w - -", "e7d8q",
         [] {
             EXPECT_EQ(board.material[White], 1200 + 1100);
             EXPECT_EQ(board.material[Black], 1200);
             EXPECT_EQ(board.pieceBits[White][Queen], Bitboard{1} << 59);
         }},
        {"en passant", "4k3/8/8/3pP3/8/8/8/4K3 w - d6", "e5d6",
         [] {
             EXPECT_EQ(board.pieceBits[Black][Pawn], 0u);
             EXPECT_EQ(board.pieceBits[White][Pawn], Bitboard{1} << 43);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setFen(c.fen);
        const Board before = board;
        const Move  m      = coords(c.move);
        makeMove(m);
        c.check();
        expectConsistentBoard();
        unmakeMove(m);
        EXPECT_TRUE(board == before);
    }
}

TEST(MakeMove, CastlingKeysFollowKingAndRookMoves) {
    std::uint64_t rights[4];
    for (int i = 0; i < 4; ++i) rights[i] = zobristKeys[White][0][i];
    struct Case { const char* line; std::uint64_t removed; };
    const Case cases[] = {
        {"e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1g1", rights[0] ^ rights[1]},  // both White keys leave
        {"h2h4 a7a5 h1h3", rights[1]},                                 // the h1 rook moves
        {"h2h4 a7a5 h1h3 a8a6 h3h1 a6a8", rights[1] ^ rights[2]},      // and returning changes nothing
        // A knight that captures on h1 and moves on leaves the key in.
        {"a2a3 g8f6 a3a4 f6h5 b2b3 h5g3 b3b4 g3h1 b4b5 h1g3", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(playLine(c.line));
        EXPECT_EQ(board.hashKey ^ positionalKey(), rights[0] ^ rights[1] ^ rights[2] ^ rights[3] ^ c.removed);
    }
}

TEST(MakeMove, NullMoveClearsAndRestoresTheEnPassantSquare) {
    ASSERT_TRUE(playLine("e2e4 a7a6 e4e5 d7d5"));
    const Board before = board;
    Move        null{};
    null.flags = static_cast<std::uint16_t>(board.epSquare * 8);
    makeMove(null);
    EXPECT_EQ(board.epSquare, NoSquare);
    EXPECT_EQ(board.sideToMove, Black);
    expectConsistentBoard();
    unmakeMove(null);
    EXPECT_TRUE(board == before);
}

TEST(MateStatus, KnownEndings) {
    struct Case { const char* line; int status; };
    const Case cases[] = {
        {"", HasLegalMove},
        {"e2e4 f7f6 d2d4 g7g5 d1h5", Checkmated},
        {"e2e3 a7a5 d1h5 a8a6 h5a5 h7h5 h2h4 a6h6 a5c7 f7f6 c7d7 e8f7 d7b7 d8d3 b7b8 d3h7 b8c8 f7g6 c8e6",
         Stalemated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(playLine(c.line));
        const Board before = board;
        EXPECT_EQ(mateStatus(board.sideToMove), c.status);
        EXPECT_TRUE(board == before);
    }
}

// Random legal games from varied starts: every Board field returns exactly when the moves
// are taken back, and the invariants hold after every move.
TEST(MakeMove, RandomGamesUnmakeExactly) {
    const char* starts[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
        "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ -",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
        "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -",
    };
    std::mt19937 random(20261210);
    for (const char* start : starts) {
        for (int game = 0; game < 40; ++game) {
            setFen(start);
            std::vector<Board> history;
            std::vector<Move>  played;
            for (int ply = 0; ply < 160; ++ply) {
                Move  moves[512];
                Move* end = genLegalMoves(moves);
                if (end == moves) break;
                const Move m = moves[random() % (end - moves)];
                history.push_back(board);
                played.push_back(m);
                makeMove(m);
                expectConsistentBoard();
                if (::testing::Test::HasFailure()) return;
            }
            while (!played.empty()) {
                unmakeMove(played.back());
                played.pop_back();
                ASSERT_TRUE(board == history.back()) << start << " game " << game;
                history.pop_back();
            }
        }
    }
}
