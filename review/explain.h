// review/explain: why a move is a mistake, in one short Japanese sentence built by rules from
// the position, the move played and the engine's lines: the mate it allows or missed, the
// piece it loses and how (left undefended, lost in an exchange, a fork, a pin), the material
// the refutation wins, or else the better move with its evaluation. Nothing is invented: each
// sentence states what the position and the lines show.
#pragma once

#include <string>
#include <vector>

#include "uci/ucimessages.h"

struct MistakeFacts {
    std::string              fen;         // the position before the move
    std::string              played;      // the move played, coordinate form
    std::vector<std::string> refutation;  // the engine's best line after it, coordinate form
    std::string              best;        // the engine's best move before it, coordinate form
    std::vector<std::string> bestLine;    // the engine's line from best on, coordinate form
    UciScore                 bestScore;   // the best move's score, from the mover's side
    UciScore                 playedScore; // the score after the move played, from the mover's side
};

// The sentence (UTF-8), e.g. 「Qh7# で詰みます」 or 「最善は Nf3 (+1.2)」; empty only when the
// facts cannot be read (a FEN, the move played or the best move that is not legal), or when
// only the better move could be said and none is given. The refutation is read as far as its
// moves are legal one after another. The calling thread's Board is left as it was.
std::string explainMistake(const MistakeFacts& facts);
