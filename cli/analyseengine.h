// analyse's engine: where its program is, and one analysis session with it from start to quit.
// The session runs the engine as a child process through the UCI client; whatever goes wrong
// ends it with one English sentence, and the child is always stopped and reaped.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "uci/ucimessages.h"

// The program to run for --engine NAME: NAME itself when it holds a slash, else the first
// executable file called NAME in the folders of PATH, then in /usr/games (where Debian puts its
// engines, a folder not every PATH holds). Empty when there is none.
std::string findEngineProgram(const std::string& name);

// This program's own file, to run its built-in engine as "norvane-cli uci"; empty when unknown.
std::string ownProgramPath();

// One --option NAME=VALUE; a bare NAME (a button) has no value.
struct EngineSetting {
    std::string                name;
    std::optional<std::string> value;
};

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

// Runs the engine through one search of the request's position. False, with the reason in
// error, when the engine cannot be started, refuses a setting, does not answer in time, ends,
// or writes what is not its protocol.
bool runAnalysis(const AnalyseRequest& request, AnalyseResult& result, std::string& error);
