#include "engine/eval.h"

#include "engine/search.h"
#include "engine_fixture.h"

namespace {

constexpr int Full = MateScore;  // the widest window: no early exit

// Positions with few men whose scores were worked out term by term. A FEN without castling
// rights marks the four corners as moved from, which gives each side 16 for development.
struct EvalCase {
    const char* what;
    const char* fen;
    int         side;
    int         expected;
};

const EvalCase evalCases[] = {
    // Knights 3+3, bishops 2+2, rooks 2+2, queen 5 per side: 19 each, and the move bonus.
    {"initial position, White", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", White, 2},
    {"initial position, Black", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -", Black, 2},
    // a2 blocked by a3: -4 - 32; passed 16 + 32; development 16 against 16; material 202.
    {"rook-file pawn blocked", "4k3/8/8/8/8/P7/P7/4K3 w - -", White, 214},
    {"rook-file pawn blocked, Black's view", "4k3/8/8/8/8/P7/P7/4K3 b - -", Black, -210},
    // d2 blocked by d3: -4; passed 16 + 32.
    {"centre pawn blocked", "4k3/8/8/8/8/3P4/3P4/4K3 w - -", White, 246},
    // d2 guards e3: +2; passed 16 + 32.
    {"pawn guarding a pawn", "4k3/8/8/8/8/4P3/3P4/4K3 w - -", White, 252},
    {"White passed pawn on e7", "7k/4P3/8/8/8/8/8/K7 w - -", White, 198},
    {"Black passed pawn on e2", "7k/8/8/8/8/8/4p3/K7 b - -", Black, 198},
    // Passed pawns 48, shelter 16.
    {"king on g1 behind f2 g2 h2", "4k3/8/8/8/8/8/5PPP/6K1 w - -", White, 366},
    {"king on h1 gets no shelter", "4k3/8/8/8/8/8/5PPP/7K w - -", White, 350},
    // Passed pawns 32 + 16 + 16, b2 guards a3: +2, shelter 16.
    {"king on c1 behind a3 b2 c2", "4k3/8/8/8/8/P7/1PP5/2K5 w - -", White, 384},
    // Passed pawns 16 + 16 + 32, f7 and h7 guard g6: +4, shelter 16.
    {"Black king on g8 behind f7 g6 h7", "6k1/5p1p/6p1/8/8/8/8/4K3 b - -", Black, 386},
    // Knight on h6: 6 (a6 would give 4), and it attacks f7 next to the Black king: +2.
    // Black's a7 pawn is passed: 16.
    {"knight on h6", "4k3/p7/7N/8/8/8/8/4K3 w - -", White, 244},
    // Rook: 4 along the rank up to the king, 7 up the file.
    {"extra rook inside the window", "4k3/8/8/8/8/8/8/R3K3 w - -", White, 563},
};

}  // namespace

TEST(Evaluate, ScoresWorkedOutPositions) {
    for (const EvalCase& c : evalCases) {
        SCOPED_TRACE(c.what);
        setFen(c.fen);
        const Board before = board;
        EXPECT_EQ(evaluate(c.side, -Full, Full), c.expected);
        EXPECT_TRUE(board == before);
    }
}

TEST(Evaluate, LoneKingAgainstOneMinorPieceIsADraw) {
    const char* draws[] = {"4k3/8/8/8/8/8/8/3NK3 w - -", "3nk3/8/8/8/8/8/8/4K3 w - -",
                           "4k3/8/8/8/8/8/8/3BK3 b - -", "3bk3/8/8/8/8/8/8/4K3 b - -"};
    for (const char* fen : draws) {
        SCOPED_TRACE(fen);
        setFen(fen);
        EXPECT_EQ(evaluate(White, -Full, Full), 0);
        EXPECT_EQ(evaluate(Black, -Full, Full), 0);
    }
    const char* notDraws[] = {"4k3/4p3/8/8/8/8/8/3NK3 w - -",  // knight against a pawn
                              "4k3/8/8/8/8/8/8/2NNK3 w - -",   // two knights
                              "4k3/8/8/8/8/8/8/4K3 w - -"};    // bare kings are not in the rule
    for (const char* fen : notDraws) {
        SCOPED_TRACE(fen);
        setFen(fen);
        EXPECT_NE(evaluate(White, -Full, Full), 0);
    }
}

TEST(Evaluate, LeavesOnMaterialAloneFarOutsideTheWindow) {
    setFen("4k3/8/8/8/8/8/8/R3K3 w - -");  // material term 552 for White, -548 for Black
    EXPECT_EQ(evaluate(White, -Full, 100), 552);
    EXPECT_EQ(evaluate(White, -Full, 352), 563);  // exactly 200 above beta: no exit
    EXPECT_EQ(evaluate(White, 800, Full), 552);
    EXPECT_EQ(evaluate(Black, -100, Full), -548);
    EXPECT_EQ(evaluate(Black, -348, Full), -559);
}

// Swapping the side negates the positional and material parts; the move bonus stays.
TEST(Evaluate, BothSidesSumToTwiceTheMoveBonus) {
    const char* lines[] = {"",
                           "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5c6 d7c6 e1g1",
                           "d2d4 d7d5 c2c4 e7e6 b1c3 g8f6 c1g5 f8e7 e2e3 e8g8 g1f3 b8d7",
                           "e2e4 c7c5 g1f3 d7d6 d2d4 c5d4 f3d4 g8f6 b1c3 a7a6 c1e3 e7e5 d4b3"};
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        ASSERT_TRUE(playLine(line));
        EXPECT_EQ(evaluate(White, -Full, Full) + evaluate(Black, -Full, Full), 4);
    }
    setFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    EXPECT_EQ(evaluate(White, -Full, Full) + evaluate(Black, -Full, Full), 4);
}

TEST(Evaluate, DevelopmentCountsBackRankSquaresMovedFrom) {
    ASSERT_TRUE(playLine("g1f3"));
    const int once = evaluate(Black, -Full, Full);
    ASSERT_TRUE(playLine("g1f3 g8f6 f3g1 f6g8 g1f3"));  // g1 moved from twice, g8 once
    EXPECT_EQ(evaluate(Black, -Full, Full), once + 8);
}
