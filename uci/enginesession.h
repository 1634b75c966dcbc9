// uci/enginesession: one UCI engine run as a child process for a series of searches, from its
// start through the handshake and its settings to quit. The command line's analyse and the
// game review run their engines through it. Whatever goes wrong ends the session with one
// English sentence naming the engine, and the child is always stopped and reaped.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "uci/uciclient.h"
#include "uci/ucimessages.h"

// One setting sent with setoption; a bare name (a button) has no value.
struct EngineSetting {
    std::string                name;
    std::optional<std::string> value;
};

// The engine to run and how to set it up.
struct EngineSetup {
    std::string                program;  // the file to run
    std::vector<std::string>   args;     // its arguments ("uci" for the built-in engine)
    std::string                title;    // how errors name the engine
    std::vector<EngineSetting> settings; // the user's, checked against the engine's options
    // Sent when the engine offers an option of that name whose type takes the value, and the
    // user's settings do not name it: what the caller wants of any engine (OwnBook false...).
    std::vector<EngineSetting> preferred;
    int                        multiPv = 0; // MultiPV to send; 0 for none
};

struct EngineSearchResult {
    std::map<int, UciInfo> lines; // the last line of each multipv number, best first
    UciBestMove            bestMove;
    bool                   stoppedEarly = false; // the search outran its wait and was stopped
};

class EngineSession {
public:
    EngineSession();
    ~EngineSession(); // quits the engine when it still runs
    EngineSession(const EngineSession&)            = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    // Starts the engine, completes the handshake, sends the settings and waits for readyok.
    // False, with the reason in error, when the engine cannot be started, refuses a setting,
    // does not answer in time, ends, or writes what is not its protocol.
    bool open(const EngineSetup& setup, std::string& error);

    // One search of the position fen (empty: the initial position) after moves, preceded by
    // ucinewgame when newGame is set. A search that outruns waitMs is asked to stop and its
    // lines so far are the answer. cancelled, when given, is asked while the engine thinks: when
    // it answers true the search is stopped, the session closed, and false returned with an
    // empty error. Any other false is a failure, with the reason in error; the session is then
    // closed.
    bool search(const std::string& fen, const std::vector<std::string>& moves, const UciGo& limits,
                std::int64_t waitMs, bool newGame, EngineSearchResult& result, std::string& error,
                const std::function<bool()>& cancelled = {});

    // Sends quit and stops the engine; done by the destructor too.
    void close();

    bool isOpen() const;

    // The last failure as the UCI client saw it, for a caller that words it in its own
    // language: its kind and detail (kind None for a setting the engine refused, whose
    // reason is only the sentence).
    const UciError& lastError() const { return m_lastError; }

private:
    // Words the client's failure while doing what, and closes the session.
    std::string failure(const std::string& doing);

    struct State;
    std::unique_ptr<State> m_state;
    UciError               m_lastError;
};

// The program to run for an engine NAME: NAME itself when it holds a slash, else the first
// executable file called NAME in the folders of PATH, then in /usr/games (where Debian puts its
// engines, a folder not every PATH holds). Empty when there is none.
std::string findEngineProgram(const std::string& name);

// This program's own file, to run its built-in engine as "norvane-cli uci"; empty when unknown.
std::string ownProgramPath();
