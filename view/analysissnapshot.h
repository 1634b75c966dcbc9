// What the engine's analysis of the shown position says at one moment: its figures and its
// lines, best first, with scores from White's side. The analysis pane, the evaluation bar and
// the board's arrows all draw from one snapshot, so that they never disagree.
#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "uci/pvsan.h"
#include "uci/ucimessages.h"

struct AnalysisLine {
    int                   multipv = 1;  // 1 for the best line
    int                   depth   = 0;
    UciScore              score;        // from White's side: positive is good for White
    std::optional<UciWdl> wdl;          // per mille, from White's side, when the engine gives it
    SanLine               line;         // the line's moves, legal in turn, in SAN and coordinates
};

struct AnalysisSnapshot {
    QString                   engineName;
    int                       depth = 0, seldepth = 0;
    long long                 nodes = 0, nps = 0;
    int                       hashfull = -1;  // per mille; -1 when the engine does not say
    std::vector<AnalysisLine> lines;          // best first
    bool                      blackToMove = false; // in the analysed position; "mate 0" says
                                                   // that this side is mated
};
