#include "app/analysissession.h"

#include <algorithm>

#include "app/enginemessages.h"
#include "app/engineprocess.h"
#include "engine/coords.h"
#include "engine/fensetup.h"
#include "engine/makemove.h"

namespace {

// What the session needs to know of a position before the engine sees it.
struct PositionFacts {
    bool valid       = false;
    bool blackToMove = false;
    int  status      = HasLegalMove; // HasLegalMove, Checkmated or Stalemated
};

// Sets the position up on this thread's Board (restored afterwards) and looks at it.
PositionFacts inspect(const AnalysisPosition& position) {
    const Board   saved = board;
    PositionFacts facts;
    char          error[128];
    bool          ok = true;
    if (position.fen.empty())
        setupStartBoard();
    else
        ok = setupBoardFromFen(position.fen.c_str(), error, sizeof error);
    for (std::size_t i = 0; ok && i < position.moves.size(); ++i) {
        Move move{};
        ok = coordsToMove(position.moves[i].c_str(), &move);
        if (ok) makeMove(move);
    }
    if (ok) {
        facts.valid       = true;
        facts.blackToMove = board.sideToMove == Black;
        facts.status      = mateStatus(board.sideToMove);
    }
    board = saved;
    return facts;
}

// A score from the side to move turned to White's side: the sign and the bounds swap.
UciScore fromWhitesSide(UciScore score, bool blackToMove) {
    if (!blackToMove) return score;
    score.value = -score.value;
    std::swap(score.lowerbound, score.upperbound);
    return score;
}

} // namespace

AnalysisSession::AnalysisSession(QObject* parent, UciTimeouts timeouts)
    : QObject(parent), m_timeouts(timeouts) {
    m_throttle.setSingleShot(true);
    m_throttle.setInterval(SnapshotIntervalMs);
    connect(&m_throttle, &QTimer::timeout, this, [this] {
        if (!m_dirty) return;
        m_dirty = false;
        publish();
        m_throttle.start();
    });
}

AnalysisSession::~AnalysisSession() {
    if (m_engine) {
        m_engine->disconnect(this);
        delete m_engine; // quits the engine, kills it when it does not go
    }
}

void AnalysisSession::start(const EngineEntry& engine, int lineCount) {
    stop();
    m_entry     = engine;
    m_lineCount = std::clamp(lineCount, 1, 5);
    m_ready     = false;
    m_searched  = 0;
    m_engine    = new EngineProcess(nullptr, m_timeouts);
    connect(m_engine, &EngineProcess::handshaken, this, &AnalysisSession::engineHandshaken);
    connect(m_engine, &EngineProcess::ready, this, &AnalysisSession::engineReady);
    connect(m_engine, &EngineProcess::infoChanged, this, &AnalysisSession::engineInfo);
    connect(m_engine, &EngineProcess::bestMoveReceived, this, &AnalysisSession::engineBestMove);
    connect(m_engine, &EngineProcess::sessionFailed, this, &AnalysisSession::engineFailed);
    m_snapshot            = AnalysisSnapshot{};
    m_snapshot.engineName = engineName();
    emit snapshotChanged(m_snapshot);
    // The position set before, if any, is searched once the engine is ready.
    m_engine->start(engine.program, engine.arguments);
}

void AnalysisSession::stop() {
    if (!m_engine) return;
    m_engine->disconnect(this);
    m_engine->shutdown();
    m_engine->deleteLater();
    m_engine = nullptr;
    finish();
}

qint64 AnalysisSession::processId() const { return m_engine ? m_engine->processId() : 0; }

QString AnalysisSession::engineName() const {
    if (m_engine && !m_engine->client().engineName().empty())
        return QString::fromStdString(m_engine->client().engineName());
    return m_entry.name;
}

void AnalysisSession::setPosition(const AnalysisPosition& position) {
    if (m_hasPosition && position == m_position) return;
    m_hasPosition = true;
    m_position    = position;
    ++m_generation;
    // The old position's lines go at once, whatever the engine still says about them.
    m_throttle.stop();
    m_dirty               = false;
    m_snapshot            = AnalysisSnapshot{};
    m_snapshot.engineName = engineName();
    const PositionFacts facts = inspect(position);
    m_positionValid           = facts.valid;
    m_blackToMove             = facts.blackToMove;
    if (!facts.valid)
        setNotice(QStringLiteral("この局面は解析できません。"));
    else if (facts.status == Checkmated)
        setNotice(QStringLiteral("チェックメイトの局面です。"));
    else if (facts.status == Stalemated)
        setNotice(QStringLiteral("ステイルメイトの局面です。"));
    else
        setNotice(QString());
    emit snapshotChanged(m_snapshot);
    if (!m_engine) return;
    if (m_engine->state() == UciClient::State::Searching)
        m_engine->stop(); // its bestmove starts the newest position
    else
        searchNewest();
}

void AnalysisSession::engineHandshaken() {
    if (!sendEngineOptions(*m_engine, m_entry)) return;
    const UciClient& client = m_engine->client();
    if (const UciOption* multiPv = findUciOption(client.options(), "MultiPV")) {
        long long count = m_lineCount;
        if (multiPv->max) count = std::min(count, *multiPv->max);
        if (!m_engine->setOption(multiPv->name, std::to_string(std::max(count, 1LL)))) return;
    }
    // A move from the engine's opening book comes without lines: analysis wants the search.
    if (const UciOption* book = findUciOption(client.options(), "OwnBook");
        book && book->type == UciOptionType::Check)
        if (!m_engine->setOption(book->name, std::string("false"))) return;
    if (const UciOption* wdl = findUciOption(client.options(), "UCI_ShowWDL");
        wdl && wdl->type == UciOptionType::Check)
        if (!m_engine->setOption(wdl->name, std::string("true"))) return;
    m_snapshot.engineName = engineName();
    m_engine->isReady();
}

void AnalysisSession::engineReady() {
    if (m_ready) return;
    m_ready = true;
    searchNewest();
}

void AnalysisSession::searchNewest() {
    if (!m_engine || !m_ready || !m_hasPosition || m_searched == m_generation) return;
    if (m_engine->state() != UciClient::State::Idle) return; // a stop is on its way
    // A mated or stalemated side, or an unreadable position: the notice says it all.
    m_searched = m_generation;
    if (!m_positionValid || !m_notice.isEmpty()) return;
    UciGo limits;
    limits.infinite = true;
    m_engine->go(m_position.fen, m_position.moves, limits);
}

void AnalysisSession::engineInfo() {
    if (m_searched != m_generation) return; // a stopped search's last words
    if (m_throttle.isActive()) {
        m_dirty = true;
        return;
    }
    publish();
    m_throttle.start();
}

void AnalysisSession::engineBestMove() {
    if (m_searched == m_generation) {
        // The engine ended its search by itself: what it said last stays shown.
        if (m_dirty) {
            m_dirty = false;
            publish();
        }
        return;
    }
    searchNewest();
}

void AnalysisSession::engineFailed() {
    const QString message = engineErrorText(m_entry.name, m_engine->error());
    m_engine->disconnect(this);
    m_engine->deleteLater(); // its signal is still being delivered
    m_engine = nullptr;
    emit failed(message);
    finish();
}

void AnalysisSession::finish() {
    m_throttle.stop();
    m_dirty    = false;
    m_ready    = false;
    m_searched = 0;
    emit analysisEnded();
}

void AnalysisSession::setNotice(const QString& notice) {
    if (notice == m_notice) return;
    m_notice = notice;
    emit noticeChanged(notice);
}

void AnalysisSession::publish() {
    if (!m_engine) return;
    const UciClient&  client   = m_engine->client();
    const UciInfo&    progress = client.progress();
    AnalysisSnapshot  snapshot;
    snapshot.engineName = engineName();
    snapshot.depth      = progress.depth.value_or(0);
    snapshot.seldepth   = progress.seldepth.value_or(0);
    snapshot.nodes      = progress.nodes.value_or(0);
    snapshot.nps        = progress.nps.value_or(0);
    snapshot.hashfull   = progress.hashfull.value_or(-1);
    snapshot.blackToMove = m_blackToMove;
    for (const auto& [multipv, info] : client.lines()) {
        if (multipv < 1 || multipv > m_lineCount || !info.score) continue;
        AnalysisLine line;
        line.multipv = multipv;
        line.depth   = info.depth.value_or(0);
        line.score   = fromWhitesSide(*info.score, m_blackToMove);
        if (info.wdl) {
            UciWdl wdl = *info.wdl;
            if (m_blackToMove) std::swap(wdl.win, wdl.loss);
            line.wdl = wdl;
        }
        pvToSan(m_position.fen, m_position.moves, info.pv, line.line);
        snapshot.lines.push_back(std::move(line));
    }
    m_snapshot = std::move(snapshot);
    emit snapshotChanged(m_snapshot);
}
