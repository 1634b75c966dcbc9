// ReviewSession: the game review (棋譜解析) of the game on the board, run in the background by
// the reviewer (review/reviewer.h) with one engine process per thread. Each move's judgement
// reaches the window's thread as soon as it is made (moveJudged), in whatever order the
// engines finish; the end comes with reviewEnded. A cancelled review keeps what was judged;
// Clear drops it all (another game, or the game changed).
#pragma once

#include <QObject>
#include <QString>

#include <mutex>
#include <optional>
#include <vector>

#include "app/backgroundtask.h"
#include "app/enginelist.h"
#include "app/reviewsettings.h"
#include "review/reviewer.h"

class CProgressPane;

class ReviewSession : public QObject {
    Q_OBJECT
public:
    explicit ReviewSession(QObject* parent = nullptr);
    // A running review is stopped and its engines ended: no process outlives the session.
    ~ReviewSession() override;

    void SetProgressPane(CProgressPane* pane) { m_task.SetProgressPane(pane); }

    // Starts reviewing game with engine under budget, threads engine processes at most. What an
    // earlier review judged is dropped. False, starting nothing, while a review runs or when
    // the game has no move.
    bool Start(const ReviewGameInput& game, const EngineEntry& engine, const ReviewBudget& budget,
               int threads);
    bool IsRunning() const { return m_task.IsRunning(); }
    // Asks the review to stop; what was judged stays, and reviewEnded follows.
    void Cancel() { m_task.Cancel(); }
    // Stops a running review (its end is not told) and drops every judgement.
    void Clear();

    // The game reviewed (or being reviewed); its moves empty when there is none.
    const ReviewGameInput& Game() const { return m_game; }
    // The judgement of each move of the game, by ply, as far as they have come.
    const std::vector<std::optional<ReviewedMove>>& Moves() const { return m_moves; }
    int                                             JudgedCount() const { return m_judged; }
    // Each side's figures over the moves judged so far.
    SideFigures Figures(bool white) const;
    // The whole result (positions searched, their lines, the moves judged), complete once the
    // review has ended; read it only then.
    const GameReview& Review() const { return m_review; }
    // The engine's name as the entry gives it.
    const QString& EngineName() const { return m_engineName; }
    // The task the review runs in (its busy state, for tests).
    CBackgroundTask& Task() { return m_task; }

signals:
    // Move ply has been judged (Moves()[ply] holds it).
    void moveJudged(int ply);
    // The review is over: Done, Cancelled (what was judged stays) or Failed, with the engine's
    // failure in message, in the user's words.
    void reviewEnded(ReviewOutcome outcome, const QString& message);
    // The judgements were dropped (Clear).
    void cleared();

private:
    // Takes the judgements the engines' threads have left in m_pending (posted by them).
    Q_INVOKABLE void TakeJudged(quint64 generation);

    CBackgroundTask                          m_task;
    ReviewGameInput                          m_game;
    std::vector<std::optional<ReviewedMove>> m_moves;
    int                                      m_judged = 0;
    QString                                  m_engineName;
    quint64                                  m_generation = 0;
    // Filled by the worker, read on the window's thread when the review ends.
    GameReview    m_review;
    std::string   m_error;
    ReviewOutcome m_outcome = ReviewOutcome::Done;
    // Judged moves on their way from the engines' threads.
    std::mutex                m_mutex;
    std::vector<ReviewedMove> m_pending;
};

// The engine entry (program, arguments, the user's option values) as the reviewer runs it.
EngineSetup reviewEngineOf(const EngineEntry& engine);
