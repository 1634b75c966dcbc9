#include "app/opponentengine.h"

#include "app/enginemessages.h"
#include "app/engineprocess.h"

#include <algorithm>

namespace {

// A mate in n from the engine's side as a score: beyond any material count, nearer mates larger.
constexpr int MateScore = 30000;

int scoreOf(const UciClient& client) {
    const auto line = client.lines().find(1);
    if (line == client.lines().end() || !line->second.score) return 0;
    const UciScore& score = *line->second.score;
    if (score.kind == UciScore::Centipawns)
        return std::clamp(score.value, -MateScore + 1000, MateScore - 1000);
    return score.value > 0 ? MateScore - score.value : -MateScore - score.value;
}

} // namespace

OpponentEngine::OpponentEngine(const EngineEntry& engine, const OpponentChoice& choice,
                               QObject* parent, UciTimeouts timeouts)
    : QObject(parent), m_engine(engine), m_choice(choice) {
    m_process = new EngineProcess(this, timeouts);
    connect(m_process, &EngineProcess::handshaken, this, &OpponentEngine::handshaken);
    connect(m_process, &EngineProcess::ready, this, &OpponentEngine::ready);
    connect(m_process, &EngineProcess::bestMoveReceived, this, &OpponentEngine::bestMove);
    connect(m_process, &EngineProcess::sessionFailed, this, &OpponentEngine::sessionFailed);
}

OpponentEngine::~OpponentEngine() {
    m_process->disconnect(this);
    delete m_process;
}

void OpponentEngine::start() { m_process->start(m_engine.program, m_engine.arguments); }

void OpponentEngine::handshaken() {
    if (!sendEngineOptions(*m_process, m_engine)) return;
    for (const auto& [name, value] : strengthOptions(m_choice, m_process->client().options()))
        if (!m_process->setOption(name.toStdString(), value.toStdString())) return;
    if (!m_process->newGame()) return;
    m_process->isReady();
}

void OpponentEngine::ready() {
    m_ready = true;
    sendRequest();
}

void OpponentEngine::think(const std::string& fen, const std::vector<std::string>& moves,
                           const UciGo& limits) {
    if (m_failed) return;
    m_asked   = true;
    m_request = Request{fen, moves, limits};
    sendRequest();
}

void OpponentEngine::sendRequest() {
    if (!m_ready || !m_request || m_process->state() != UciClient::State::Idle) return;
    const Request request = *m_request;
    m_request.reset();
    m_dropping = false;
    m_process->go(request.fen, request.moves, request.limits);
}

void OpponentEngine::moveNow() {
    if (m_asked && m_process->state() == UciClient::State::Searching) m_process->stop();
}

void OpponentEngine::dropAnswer() {
    m_asked = false;
    m_request.reset();
    if (m_process->state() == UciClient::State::Searching) m_process->stop();
    if (m_process->state() == UciClient::State::Stopping) m_dropping = true;
}

void OpponentEngine::bestMove() {
    if (m_dropping) {
        // The dropped search's answer: a move asked since then goes to the engine now.
        m_dropping = false;
        sendRequest();
        return;
    }
    if (!m_asked) return;
    m_asked            = false;
    const auto& answer = m_process->client().bestMove();
    emit        moveChosen(QString::fromStdString(answer ? answer->move : std::string()),
                           scoreOf(m_process->client()));
}

void OpponentEngine::sessionFailed() {
    if (m_failed) return;
    m_failed = true;
    m_asked  = false;
    m_request.reset();
    emit failed(engineErrorText(m_engine.name, m_process->error()));
}

int OpponentEngine::depth() const {
    const auto& progress = m_process->client().progress();
    return progress.depth.value_or(0);
}

std::string OpponentEngine::bestSoFar() const {
    const auto line = m_process->client().lines().find(1);
    if (line == m_process->client().lines().end() || line->second.pv.empty()) return {};
    return line->second.pv.front();
}

qint64 OpponentEngine::processId() const { return m_process->processId(); }
