// How a game stands under the rules that end it besides the moves themselves: checkmate and
// stalemate, the dead position, the fivefold repetition and the seventy-five-move rule (each
// ends the game at once), and the draws a player may claim (threefold repetition, fifty moves).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/board.h"

// What ends the game in the position on the Board, first match in this order.
enum GameOutcome {
    OutcomeNone         = 0,
    OutcomeCheckmate    = 1,
    OutcomeStalemate    = 2,
    OutcomeInsufficient = 3,  // a dead position: neither side can ever mate
    OutcomeFivefold     = 4,  // the position stands for the fifth time
    OutcomeSeventyFive  = 5,  // 150 half-moves without a capture or a pawn move
};

// The draws the player to move may claim; a bit each.
inline constexpr int ClaimNone = 0, ClaimThreefold = 1, ClaimFifty = 2, ClaimBoth = 3;

// The key under which a position counts as "the same" for the repetition rules: the Board's
// hashKey (placement, side to move, castling rights, en-passant square), except that the
// en-passant square counts only when a legal en-passant capture exists there. The hashKey
// records the square whenever an enemy pawn stands beside the pushed one, even when that pawn
// is pinned; such a position repeats the same placement without the square.
std::uint64_t repetitionKey();

// Whether no sequence of legal moves can end in a checkmate, by material alone: king against
// king, king and one knight or one bishop against king, and kings with any bishops that all
// stand on squares of one colour. (A locked pawn chain can also be dead; it is not seen.)
bool isDeadPosition(const Board& b);

// Whether side still has the material to mate, however the other side helps: false for a
// lone king, and false when its pieces are a knight or bishops of one colour and the other
// side has nothing but its king (or bishops on that same colour). The test of a flag fall: a
// player whose time runs out draws when the opponent cannot mate.
bool canStillMate(const Board& b, int side);

// The repetition keys of a game's positions since its last capture or pawn move (its last
// irreversible move), the current position last, and the half-move clock: what the rules
// need of the game's past. Start it from the Board, then tell it each move right after it is
// made on the Board.
class DrawHistory {
public:
    // The Board's position begins the record; halfMoveClock half-moves already passed
    // without a capture or pawn move (a FEN's fifth field, 0 at the start of a game).
    void start(int halfMoveClock = 0);
    // Records the move just made on the Board.
    void played(const Move& move);

    // How many times the current position has stood, itself included (at least 1).
    int repetitions() const;
    int halfMoveClock() const { return m_halfMoveClock; }

    // The outcome of the position on the Board, the current one of this record.
    GameOutcome outcome() const;
    // ClaimNone, ClaimThreefold, ClaimFifty or ClaimBoth: what the player to move may claim
    // now: threefold once the position stands for the third time, fifty once 100 half-moves
    // passed without a capture or pawn move. A checkmate or stalemate comes first: nothing
    // is claimable then.
    int claimable() const;

private:
    std::vector<std::uint64_t> m_keys;  // oldest first, the current position last
    int                        m_halfMoveClock = 0;
};

// The hashKeys of the positions before the Board's since the last capture or pawn move, oldest
// first: what EngineSearch::setGameHistory takes, so that a search of a game's position sees a
// return to an earlier one as a draw. moves are the count moves that led to the Board, the
// last made last. The Board is left as it was.
std::vector<std::uint64_t> keysBeforeBoard(const Move* moves, int count);

// The halfmove clock field of a FEN (its fifth), 0 when it has none or it is not a number.
int fenHalfMoveClock(const char* fen);
