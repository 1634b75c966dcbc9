// Moves typed on the keyboard, read against a position: complete, still partial, ambiguous or
// illegal, with the legal moves the text fits.
#include "records/typedmove.h"
#include "records_fixture.h"

namespace {

// The candidates' SAN, space-separated, in generation order.
std::string sans(const std::vector<Move>& moves) {
    std::string text;
    for (const Move& m : moves) {
        char san[8];
        moveToSan(m, san);
        if (!text.empty()) text += ' ';
        text += san;
    }
    return text;
}

}  // namespace

TEST(TypedMove, ReadsSanAndCoordinatesAsTheyAreTyped) {
    // White: knights on b1 and f3 that both reach d2, a pawn on e7 to promote beside a rook on
    // d8, castling both ways. Black's king on g8.
    const char* fen = "3r2k1/4P3/8/8/8/5N2/8/RN2K2R w KQ - 0 1";
    struct Case { std::string text; TypedMoveStatus status; const char* candidates; };
    const Case cases[] = {
        {"", TypedEmpty, ""},
        {"   ", TypedEmpty, ""},
        {"Nfd2", TypedComplete, "Nfd2"},
        {" Nfd2 ", TypedComplete, "Nfd2"},
        {"f3d2", TypedComplete, "Nfd2"},
        {"Nd2", TypedAmbiguous, "Nbd2 Nfd2"},
        {"nd2", TypedAmbiguous, "Nbd2 Nfd2"},          // a piece letter in lower case
        {"Nh4", TypedComplete, "Nh4"},
        {"nh4", TypedComplete, "Nh4"},
        {"Ng", TypedPartial, "Ng1 Ng5"},
        {"O-O", TypedComplete, "O-O"},
        {"0-0", TypedComplete, "O-O"},
        {"O-O-O", TypedIllegal, ""},                    // the b1 knight stands between
        {"o-o", TypedComplete, "O-O"},
        {"e1g1", TypedComplete, "O-O"},
        {"exd8=Q", TypedComplete, "exd8=Q+"},
        {"exd8Q+", TypedComplete, "exd8=Q+"},
        {"e7d8n", TypedComplete, "exd8=N"},
        {"e7d8", TypedPartial, "exd8=Q+ exd8=R+ exd8=B exd8=N"},  // the letter still to come
        {"exd8", TypedPartial, "exd8=Q+ exd8=R+ exd8=B exd8=N"},
        {"e8=", TypedPartial, "e8=Q+ e8=R+ e8=B e8=N"},
        {"e8=Q", TypedComplete, "e8=Q+"},
        {"Ke2+", TypedComplete, "Ke2"},                 // a wrong check mark is forgiven
        {"Nc3", TypedComplete, "Nc3"},
        {"Nf3", TypedIllegal, ""},                      // its own square: no such move
        {"e4", TypedIllegal, ""},                       // no pawn goes there
        {"Qd1", TypedIllegal, ""},                      // no queen
        {"e2e4", TypedIllegal, ""},
        {"z9", TypedIllegal, ""},
        {"Nbd2xyz", TypedIllegal, ""},
        {std::string(500, 'N'), TypedIllegal, ""},  // long text: refused, no overflow
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        setFen(fen);
        const Board     before = board;
        const TypedMove typed  = readTypedMove(c.text);
        EXPECT_EQ(typed.status, c.status);
        EXPECT_EQ(sans(typed.candidates), c.candidates);
        if (c.status == TypedComplete) {
            EXPECT_TRUE(sameMove(typed.move, typed.candidates[0]));
        }
        EXPECT_EQ(board, before);
    }
}

// The start of a game: a lone letter lists what it may become, the b-file's pawns before a
// bishop's move.
TEST(TypedMove, PartialTextListsTheMovesItMayBecome) {
    setupStartPosition();
    EXPECT_EQ(readTypedMove("N").status, TypedPartial);
    EXPECT_EQ(sans(readTypedMove("N").candidates), "Na3 Nc3 Nf3 Nh3");
    EXPECT_EQ(sans(readTypedMove("g1").candidates), "Nf3 Nh3");
    EXPECT_EQ(sans(readTypedMove("b").candidates), "b3 b4 Na3 Nc3");  // b-pawn and b1's knight
    EXPECT_EQ(readTypedMove("e4").status, TypedComplete);
    EXPECT_EQ(readTypedMove("Bc4").status, TypedIllegal);
}
