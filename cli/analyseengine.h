// analyse's engine: one analysis session with it from start to quit, through the engine
// session of uci/enginesession.h (which also finds the engine's program). Whatever goes wrong
// ends it with one English sentence, and the child is always stopped and reaped.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "uci/enginesession.h"
#include "uci/ucimessages.h"

struct AnalyseRequest {
    std::string                program;     // the file to run
    std::vector<std::string>   args;        // its arguments ("uci" for the built-in engine)
    std::string                title;       // how errors name the engine
    std::vector<EngineSetting> settings;    // --option, in the order given
    int                        multiPv = 0; // --multipv; 0 when not given
    std::string                fen;         // the position the moves start from
    std::vector<std::string>   moves;       // coordinate form
    UciGo                      limits;
    // How long the search may take before it is asked to stop.
    std::int64_t searchWaitMs = 0;
};

struct AnalyseResult {
    std::map<int, UciInfo> lines; // the last line of each multipv number, best first
    UciBestMove            bestMove;
    bool                   stoppedEarly = false; // the search outran searchWaitMs and was stopped
};

// What an analysis wants of any engine unless the user says otherwise: a search rather than
// a book move (OwnBook false) and the engine's analysis manner (UCI_AnalyseMode true).
std::vector<EngineSetting> analysisPreferences();

// Runs the engine through one search of the request's position. False, with the reason in
// error, when the engine cannot be started, refuses a setting, does not answer in time, ends,
// or writes what is not its protocol.
bool runAnalysis(const AnalyseRequest& request, AnalyseResult& result, std::string& error);
