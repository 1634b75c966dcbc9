// A move typed on the keyboard, in SAN or coordinate form (Nf3, e2e4, O-O, exd8=Q), read against
// the Board while it is being typed: which legal moves the text may still become, and whether
// it names one move already.
#pragma once

#include <string_view>
#include <vector>

#include "engine/board.h"

enum TypedMoveStatus {
    TypedEmpty     = 0,  // nothing typed
    TypedComplete  = 1,  // the text names one legal move: move
    TypedPartial   = 2,  // the start of some legal moves' texts (candidates), none yet
    TypedAmbiguous = 3,  // a whole move that two or more legal moves fit (candidates): Nd2
    TypedIllegal   = 4,  // no legal move reads so, or begins so
};

struct TypedMove {
    TypedMoveStatus   status = TypedEmpty;
    Move              move{};      // TypedComplete only
    std::vector<Move> candidates;  // the legal moves the text fits, in generation order; the
                                   // move itself when complete
};

// Reads text against the position on the Board (left as it was). Accepted besides strict SAN:
// what sanToMove accepts (e8Q, ed5, e4d5, 0-0, o-o, trailing + # ! ?), coordinates with or
// without the promotion letter's case, surrounding spaces, and a piece letter typed in lower
// case (nf3) where no pawn move reads so.
TypedMove readTypedMove(std::string_view text);
