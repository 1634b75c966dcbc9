// uci/uciclient: one session with a UCI engine, as a state machine. It owns no process and no
// clock: its owner passes it every line the engine writes and the time, and it sends its
// commands through a UciTransport. Whatever goes wrong (the engine exits, does not answer in
// time, or writes what is not its protocol) ends the session with one UciError; the owner
// words it and stops the engine.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "uci/ucimessages.h"

// Where the client's commands go: a pipe to a process, a test's transcript.
class UciTransport {
public:
    virtual ~UciTransport() = default;
    // Sends one line (the line end is the transport's); false when it cannot be sent.
    virtual bool sendLine(const std::string& line) = 0;
};

enum class UciErrorKind {
    None,
    StartFailed,      // the engine's program could not be started (told by the owner that runs it)
    SendFailed,       // a command could not be written to the engine
    HandshakeTimeout, // no uciok in time after uci
    ReadyTimeout,     // no readyok in time after isready
    StopTimeout,      // no bestmove in time after stop
    Exited,           // the engine ended (or closed its output) while it had work
    Garbage,          // the engine wrote what is not text, or nothing but unknown lines
};

struct UciError {
    UciErrorKind kind = UciErrorKind::None;
    std::string  text; // the detail: the line, the exit status; not for the user as it is
};

struct UciTimeouts {
    std::int64_t handshakeMs = 5000;
    std::int64_t readyMs     = 5000;
    std::int64_t stopMs      = 5000;
};

// What a line or a tick changed, for the owner to act on.
enum class UciEvent { None, Handshaken, Ready, Info, BestMove, Failed };

class UciClient {
public:
    enum class State {
        NotStarted,
        Handshake, // uci sent, waiting for uciok
        Idle,      // the engine waits for a command
        Searching, // go sent
        Stopping,  // stop sent, waiting for bestmove
        Failed,
        Closed, // quit sent, or the engine ended after quit
    };

    // Consecutive unknown lines taken before the engine is judged to write garbage.
    static constexpr int MaxUnknownRun = 1000;

    explicit UciClient(UciTransport& transport, UciTimeouts timeouts = {});

    // Sends uci; the handshake's clock starts at now.
    void start(std::int64_t now);
    // Reads one line the engine wrote.
    UciEvent lineReceived(const std::string& line, std::int64_t now);
    // Looks at the clock: a timeout fails the session.
    UciEvent tick(std::int64_t now);
    // The engine's process ended, or its output closed; detail says how (an exit status).
    // After a failed write it turns that failure into the engine's end.
    UciEvent engineExited(const std::string& detail);
    // The owner could not start the engine's program; detail says why.
    UciEvent startFailed(const std::string& detail);
    // The owner could not read a line the engine wrote (one far too long, say): garbage.
    UciEvent unreadableLine(const std::string& detail);

    // Sends isready; Ready comes with its readyok. Taken when Idle or Searching.
    bool isReady(std::int64_t now);
    // Taken when Idle: setoption, ucinewgame.
    bool setOption(const std::string& name, const std::optional<std::string>& value);
    bool newGame();
    // Sends position and go when Idle; the lines of an earlier search are dropped.
    bool go(const std::string& fen, const std::vector<std::string>& moves, const UciGo& limits);
    // Asks a running search to end; its bestmove then comes within the stop timeout.
    bool stop(std::int64_t now);
    bool ponderHit();
    // Sends quit (when the engine can still be written to); the session is over.
    void quit();

    State                         state() const { return m_state; }
    bool                          readyPending() const { return m_readyDeadline.has_value(); }
    const UciError&               error() const { return m_error; }
    const std::string&            engineName() const { return m_name; }
    const std::string&            engineAuthor() const { return m_author; }
    const std::vector<UciOption>& options() const { return m_options; }
    // The latest info with a score or a pv, per multipv number (1 when the engine gives none).
    const std::map<int, UciInfo>& lines() const { return m_lines; }
    // The latest of each figure about the whole search (depth, nodes, nps, currmove...).
    const UciInfo& progress() const { return m_progress; }
    // The last search's bestmove, once it has come.
    const std::optional<UciBestMove>& bestMove() const { return m_bestMove; }
    // The latest "info string" texts and unknown lines, the most recent last (a few only).
    const std::vector<std::string>& notes() const { return m_notes; }

private:
    UciEvent fail(UciErrorKind kind, const std::string& text);
    bool     send(const std::string& line);
    void     note(const std::string& text);
    void     takeInfo(const UciInfo& info);

    UciTransport&               m_transport;
    UciTimeouts                 m_timeouts;
    State                       m_state = State::NotStarted;
    UciError                    m_error;
    std::string                 m_name, m_author;
    std::vector<UciOption>      m_options;
    std::map<int, UciInfo>      m_lines;
    UciInfo                     m_progress;
    std::optional<UciBestMove>  m_bestMove;
    std::vector<std::string>    m_notes;
    std::optional<std::int64_t> m_handshakeDeadline, m_readyDeadline, m_stopDeadline;
    int                         m_unknownRun = 0;
};
