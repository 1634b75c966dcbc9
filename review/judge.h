// review/judge: the mark a move earns from the engine's scores, and each side's figures over a
// game. Pure functions of the scores: the engine's work is done elsewhere.
//
// A move's drop is the mover's expected score (review/expectedscore.h) with the engine's best
// move less that after the move played. Marks by the drop: ?! from 0.05, ? from 0.10, ?? from
// 0.15. Whatever the numbers: a move that lets a mate slip (a mate was there and the move
// played keeps none) is at least ?, and a move into a forced mate against the mover, where the
// best move was not already mated, is ??. The engine's best move played gets no drop, and ! when
// the second-best move is worse by at least a ?'s drop.
#pragma once

#include <optional>
#include <vector>

#include "uci/ucimessages.h"

inline constexpr double InaccuracyDrop = 0.05;
inline constexpr double MistakeDrop    = 0.10;
inline constexpr double BlunderDrop    = 0.15;
// A move's centipawn loss is clipped here, and scores (mates too) are clipped to it first.
inline constexpr int CentipawnLossClip = 1000;

enum class MoveMark { None, Good, Inaccuracy, Mistake, Blunder };

// One move's scores, all from the mover's side in the terms of the position before the move.
struct MoveScores {
    UciScore                best;               // the engine's best move
    std::optional<UciScore> second;             // its second-best move, when it gave one
    UciScore                played;             // the move played
    bool                    playedBest = false; // the move played is the engine's best
};

struct MoveJudgement {
    MoveMark mark   = MoveMark::None;
    double   drop   = 0; // of the mover's expected score, 0 to 1
    int      cpLoss = 0; // 0 to CentipawnLossClip
};

MoveJudgement judgeMove(const MoveScores& scores);

// The accuracy of one move, in percent: 100 * e^(-4 * drop) (a ?! about 82, a ?? 55 or less).
double moveAccuracy(double drop);

struct SideFigures {
    int    moves = 0;
    int    good = 0, inaccuracies = 0, mistakes = 0, blunders = 0;
    double averageCpLoss = 0;   // the mean of the moves' clipped losses
    double accuracy      = 100; // the mean of the moves' accuracies; 100 with no move
};

// The figures of one side's moves.
SideFigures sideFigures(const std::vector<MoveJudgement>& moves);

// "!", "?!", "?", "??", or "" for no mark; and the PGN NAG: $1, $6, $2, $4 (0 for none).
const char* markText(MoveMark mark);
int         markNag(MoveMark mark);
