#include "app/reviewsession.h"

#include <QMetaObject>

#include <utility>

#include "app/enginemessages.h"

EngineSetup reviewEngineOf(const EngineEntry& engine) {
    EngineSetup setup;
    setup.program = engine.program.toStdString();
    for (const QString& argument : engine.arguments)
        setup.args.push_back(argument.toStdString());
    setup.title = "engine " + engine.name.toStdString();
    for (const auto& [name, value] : engine.options)
        setup.settings.push_back({name.toStdString(), engineOptionValue(value)});
    return setup;
}

ReviewSession::ReviewSession(QObject* parent) : QObject(parent) {}

ReviewSession::~ReviewSession() { m_task.Abandon(); }

bool ReviewSession::Start(const ReviewGameInput& game, const EngineEntry& engine,
                          const ReviewBudget& budget, int threads) {
    if (m_task.IsRunning() || game.moves.empty()) return false;
    Clear();
    m_game = game;
    m_moves.assign(game.moves.size(), std::nullopt);
    m_engineName = engine.name;
    m_review     = GameReview{};
    m_error.clear();
    m_outcome = ReviewOutcome::Done;

    ReviewSettings settings;
    settings.engine          = reviewEngineOf(engine);
    settings.limits          = reviewLimits(budget);
    settings.searchWaitMs    = reviewSearchWaitMs(budget);
    settings.threads         = std::max(threads, 1);
    const quint64 generation = ++m_generation;
    // The engines' threads hand each judgement over under the mutex and post its taking by
    // name, with the generation that tells a late post of an old review from the current one.
    auto work = [this, settings, generation](PassControl& control) {
        const ReviewProgress progress = [this, &control, generation](const ReviewedMove& move) {
            {
                const std::lock_guard lock(m_mutex);
                m_pending.push_back(move);
            }
            control.advance(1);
            QMetaObject::invokeMethod(this, "TakeJudged", Qt::QueuedConnection,
                                      Q_ARG(quint64, generation));
        };
        m_outcome = reviewGame(m_game, settings, m_review, m_error, progress, &control.stop);
    };
    const auto done = [this, generation](bool) {
        TakeJudged(generation);
        QString message;
        if (m_outcome == ReviewOutcome::Failed) {
            message = engineErrorText(m_engineName, m_review.engineError);
            if (message.isEmpty())
                message = QStringLiteral("エンジン「%1」で棋譜を解析できませんでした。")
                              .arg(m_engineName);
        }
        emit reviewEnded(m_outcome, message);
    };
    return m_task.Start(QStringLiteral("棋譜解析"), static_cast<std::int64_t>(game.moves.size()),
                        std::move(work), done);
}

void ReviewSession::Clear() {
    m_task.Abandon();
    ++m_generation;
    {
        const std::lock_guard lock(m_mutex);
        m_pending.clear();
    }
    const bool had = !m_game.moves.empty();
    m_game         = ReviewGameInput{};
    m_moves.clear();
    m_judged = 0;
    if (had) emit cleared();
}

void ReviewSession::TakeJudged(quint64 generation) {
    if (generation != m_generation) return;
    std::vector<ReviewedMove> taken;
    {
        const std::lock_guard lock(m_mutex);
        taken.swap(m_pending);
    }
    for (ReviewedMove& move : taken) {
        if (move.ply < 0 || static_cast<std::size_t>(move.ply) >= m_moves.size()) continue;
        std::optional<ReviewedMove>& slot = m_moves[static_cast<std::size_t>(move.ply)];
        if (!slot) ++m_judged;
        slot = std::move(move);
        emit moveJudged(slot->ply);
    }
}

SideFigures ReviewSession::Figures(bool white) const {
    // The game's first mover is White unless its start has Black to move.
    const std::size_t space = m_game.startFen.find(' ');
    const bool        whiteFirst =
        space == std::string::npos || m_game.startFen.compare(space + 1, 1, "b") != 0;
    std::vector<MoveJudgement> judgements;
    for (std::size_t k = 0; k < m_moves.size(); ++k)
        if (m_moves[k] && ((k % 2 == 0) == whiteFirst) == white)
            judgements.push_back(m_moves[k]->judgement);
    return sideFigures(judgements);
}
