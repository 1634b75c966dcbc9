#include "engine/perft.h"

#include "engine/attacks.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "engine/search.h"

namespace {

// Pseudo-legal moves of the side to move: evasions when in check, everything otherwise.
Move* genPseudoLegal(Move* out) {
    const int side = board.sideToMove;
    return isAttacked(board.kingSquare[side], side ^ 1) ? genEvasions(side, out)
                                                        : genAllMoves(side, out);
}

}  // namespace

std::uint64_t perft(int depth) {
    if (depth <= 0) return 1;
    Move       moves[MaxMovesPerPly];
    Move*      end   = genPseudoLegal(moves);
    const int  mover = board.sideToMove;
    std::uint64_t nodes = 0;
    for (Move* m = moves; m != end; ++m) {
        makeMove(*m);
        if (!isAttacked(board.kingSquare[mover], mover ^ 1))
            nodes += depth == 1 ? 1 : perft(depth - 1);
        unmakeMove(*m);
    }
    return nodes;
}

Move* genLegalMoves(Move* out) {
    Move* end = genPseudoLegal(out);
    Move* kept = out;
    for (Move* m = out; m != end; ++m)
        if (!leavesKingAttacked(*m)) *kept++ = *m;
    return kept;
}
