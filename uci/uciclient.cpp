// uci/uciclient: the session's states, and what each engine line does to them.
#include "uci/uciclient.h"

namespace {

// Notes kept for the owner to show or log; older ones are dropped.
constexpr std::size_t MaxNotes = 16;

} // namespace

UciClient::UciClient(UciTransport& transport, UciTimeouts timeouts)
    : m_transport(transport), m_timeouts(timeouts) {}

UciEvent UciClient::fail(UciErrorKind kind, const std::string& text) {
    m_state = State::Failed;
    m_error = UciError{kind, text};
    m_handshakeDeadline.reset();
    m_readyDeadline.reset();
    m_stopDeadline.reset();
    return UciEvent::Failed;
}

bool UciClient::send(const std::string& line) {
    if (m_transport.sendLine(line)) return true;
    fail(UciErrorKind::SendFailed, line);
    return false;
}

void UciClient::note(const std::string& text) {
    if (m_notes.size() == MaxNotes) m_notes.erase(m_notes.begin());
    m_notes.push_back(text);
}

void UciClient::start(std::int64_t now) {
    if (m_state != State::NotStarted) return;
    m_state = State::Handshake;
    if (send(UciCommandUci)) m_handshakeDeadline = now + m_timeouts.handshakeMs;
}

UciEvent UciClient::lineReceived(const std::string& line, std::int64_t now) {
    if (m_state == State::Failed || m_state == State::Closed || m_state == State::NotStarted)
        return UciEvent::None;
    if (isBinaryLine(line)) return fail(UciErrorKind::Garbage, line);
    const UciMessage message = parseUciLine(line);
    if (message.kind == UciMessageKind::Unknown) {
        // Engines print banners and debugging lines; only a long run of nothing else is garbage.
        if (!message.text.empty()) note(message.text);
        // A search's answer that cannot be read would leave it waiting for ever.
        if ((m_state == State::Searching || m_state == State::Stopping) && message.unreadableBestMove)
            return fail(UciErrorKind::Garbage, message.text);
        if (++m_unknownRun >= MaxUnknownRun) return fail(UciErrorKind::Garbage, message.text);
        return tick(now);
    }
    m_unknownRun = 0;
    switch (message.kind) {
    case UciMessageKind::IdName:
        m_name = message.text;
        break;
    case UciMessageKind::IdAuthor:
        m_author = message.text;
        break;
    case UciMessageKind::Option:
        if (m_state == State::Handshake) m_options.push_back(message.option);
        break;
    case UciMessageKind::UciOk:
        if (m_state != State::Handshake) break;
        m_state = State::Idle;
        m_handshakeDeadline.reset();
        return UciEvent::Handshaken;
    case UciMessageKind::ReadyOk:
        if (!m_readyDeadline) break;
        m_readyDeadline.reset();
        return UciEvent::Ready;
    case UciMessageKind::Info:
        if (message.info.text) note(*message.info.text);
        if (m_state != State::Searching && m_state != State::Stopping) break;
        takeInfo(message.info);
        return UciEvent::Info;
    case UciMessageKind::BestMove:
        if (m_state != State::Searching && m_state != State::Stopping) break; // a stray one
        m_state = State::Idle;
        m_stopDeadline.reset();
        m_bestMove = message.bestMove;
        return UciEvent::BestMove;
    case UciMessageKind::Unknown:
        break;
    }
    return tick(now);
}

void UciClient::takeInfo(const UciInfo& info) {
    if (info.depth) m_progress.depth = info.depth;
    if (info.seldepth) m_progress.seldepth = info.seldepth;
    if (info.nodes) m_progress.nodes = info.nodes;
    if (info.nps) m_progress.nps = info.nps;
    if (info.hashfull) m_progress.hashfull = info.hashfull;
    if (info.tbhits) m_progress.tbhits = info.tbhits;
    if (info.time) m_progress.time = info.time;
    if (!info.currmove.empty()) m_progress.currmove = info.currmove;
    if (info.currmovenumber) m_progress.currmovenumber = info.currmovenumber;
    if (!info.score && info.pv.empty()) return;
    UciInfo& line = m_lines[info.multipv.value_or(1)];
    // A line with a score but no moves (a bound found on the way) keeps the moves it had.
    std::vector<std::string> pv = info.pv.empty() ? line.pv : info.pv;
    line                        = info;
    line.pv                     = std::move(pv);
}

UciEvent UciClient::tick(std::int64_t now) {
    if (m_handshakeDeadline && now >= *m_handshakeDeadline)
        return fail(UciErrorKind::HandshakeTimeout, UciCommandUci);
    if (m_readyDeadline && now >= *m_readyDeadline)
        return fail(UciErrorKind::ReadyTimeout, UciCommandIsReady);
    if (m_stopDeadline && now >= *m_stopDeadline)
        return fail(UciErrorKind::StopTimeout, UciCommandStop);
    return UciEvent::None;
}

UciEvent UciClient::engineExited(const std::string& detail) {
    // A command that could not be written to an engine that had ended is told as that end.
    if (m_state == State::Failed && m_error.kind == UciErrorKind::SendFailed) {
        m_error = UciError{UciErrorKind::Exited, detail};
        return UciEvent::Failed;
    }
    if (m_state == State::Failed || m_state == State::Closed) return UciEvent::None;
    return fail(UciErrorKind::Exited, detail);
}

UciEvent UciClient::startFailed(const std::string& detail) {
    if (m_state != State::NotStarted && m_state != State::Handshake) return UciEvent::None;
    return fail(UciErrorKind::StartFailed, detail);
}

UciEvent UciClient::unreadableLine(const std::string& detail) {
    if (m_state == State::Failed || m_state == State::Closed) return UciEvent::None;
    return fail(UciErrorKind::Garbage, detail);
}

bool UciClient::isReady(std::int64_t now) {
    if (m_state != State::Idle && m_state != State::Searching) return false;
    if (!send(UciCommandIsReady)) return false;
    if (!m_readyDeadline) m_readyDeadline = now + m_timeouts.readyMs;
    return true;
}

bool UciClient::setOption(const std::string& name, const std::optional<std::string>& value) {
    return m_state == State::Idle && send(uciSetOption(name, value));
}

bool UciClient::newGame() { return m_state == State::Idle && send(UciCommandNewGame); }

bool UciClient::go(const std::string& fen, const std::vector<std::string>& moves,
                   const UciGo& limits) {
    if (m_state != State::Idle) return false;
    m_lines.clear();
    m_progress = UciInfo{};
    m_bestMove.reset();
    if (!send(uciPosition(fen, moves)) || !send(uciGo(limits))) return false;
    m_state = State::Searching;
    return true;
}

bool UciClient::stop(std::int64_t now) {
    if (m_state != State::Searching) return m_state == State::Stopping;
    if (!send(UciCommandStop)) return false;
    m_state        = State::Stopping;
    m_stopDeadline = now + m_timeouts.stopMs;
    return true;
}

bool UciClient::ponderHit() { return m_state == State::Searching && send(UciCommandPonderHit); }

void UciClient::quit() {
    if (m_state == State::Closed) return;
    if (m_state != State::Failed && m_state != State::NotStarted)
        m_transport.sendLine(UciCommandQuit);
    if (m_state != State::Failed) m_state = State::Closed;
    m_handshakeDeadline.reset();
    m_readyDeadline.reset();
    m_stopDeadline.reset();
}
