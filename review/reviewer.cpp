#include "review/reviewer.h"

#include <algorithm>
#include <mutex>
#include <thread>

#include "engine/coords.h"
#include "engine/makemove.h"
#include "records/fen.h"
#include "records/game.h"
#include "review/expectedscore.h"
#include "review/explain.h"
#include "uci/processrunner.h"

namespace {

// The hash each engine gets, in MB: a position's search needs little, and many engines run.
constexpr const char* ReviewHashMb = "16";

bool whiteToMove(const std::string& fen) {
    const std::size_t space = fen.find(' ');
    return space == std::string::npos || fen.compare(space + 1, 1, "b") != 0;
}

// One review's shared state: the positions still to search, the results, the first failure.
class ReviewRun {
public:
    ReviewRun(const ReviewGameInput& game, const ReviewSettings& settings, GameReview& out,
              const ReviewProgress& progress, const std::atomic<bool>* cancel)
        : m_game(game), m_settings(settings), m_out(out), m_progress(progress), m_cancel(cancel) {
        const std::size_t count = game.fens.size();
        m_out                   = GameReview{};
        m_out.positions.resize(count);
        m_out.moves.resize(game.moves.size());
        m_done.assign(count, false);
        for (std::size_t k = 0; k < count; ++k) {
            const int status = k < game.mateStatus.size() ? game.mateStatus[k] : HasLegalMove;
            if (status == HasLegalMove) {
                m_queue.push_back(k);
                continue;
            }
            // Nothing to search: mated (mate 0) or stalemated (a draw).
            m_out.positions[k].score =
                UciScore{status == Checkmated ? UciScore::Mate : UciScore::Centipawns, 0};
            m_done[k] = true;
        }
    }

    std::size_t positionsToSearch() const { return m_queue.size(); }

    // Searches positions from the queue until it is empty, the review is cancelled or failed.
    void work(EngineSession& session) {
        for (;;) {
            if (stopping()) return;
            const std::size_t slot = m_next.fetch_add(1);
            if (slot >= m_queue.size()) return;
            const std::size_t              k = m_queue[slot];
            const std::vector<std::string> moves(m_game.moves.begin(),
                                                 m_game.moves.begin() + static_cast<long>(k));
            EngineSearchResult             result;
            std::string                    error;
            const std::int64_t             started = steadyMilliseconds();
            if (!session.search(m_game.startFen, moves, m_settings.limits, m_settings.searchWaitMs,
                                true, result, error, [this] { return stopping(); })) {
                if (!error.empty()) fail(error, session.lastError());
                return;
            }
            positionSearched(k, result, steadyMilliseconds() - started);
        }
    }

    void fail(const std::string& error, const UciError& engineError) {
        const std::lock_guard lock(m_mutex);
        if (m_error.empty()) {
            m_error           = error;
            m_out.engineError = engineError;
        }
        m_failed = true;
    }

    ReviewOutcome finish(std::string& error) {
        if (m_cancel && m_cancel->load()) return ReviewOutcome::Cancelled;
        if (m_failed) {
            error = m_error;
            return ReviewOutcome::Failed;
        }
        std::vector<MoveJudgement> white, black;
        for (std::size_t ply = 0; ply < m_out.moves.size(); ++ply)
            (whiteToMove(m_game.fens[ply]) ? white : black).push_back(m_out.moves[ply].judgement);
        m_out.white = sideFigures(white);
        m_out.black = sideFigures(black);
        return ReviewOutcome::Done;
    }

private:
    bool stopping() const { return m_failed || (m_cancel && m_cancel->load()); }

    void positionSearched(std::size_t k, const EngineSearchResult& result, std::int64_t ms) {
        ReviewedPosition position;
        position.searched = true;
        position.searchMs = ms;
        if (const auto best = result.lines.find(1); best != result.lines.end()) {
            position.score    = best->second.score.value_or(UciScore{});
            position.bestLine = best->second.pv;
        }
        if (position.bestLine.empty() && !result.bestMove.move.empty())
            position.bestLine = {result.bestMove.move};
        if (const auto second = result.lines.find(2);
            second != result.lines.end() && second->second.score) {
            position.secondScore = second->second.score;
            position.secondLine  = second->second.pv;
        }
        const std::lock_guard lock(m_mutex);
        m_out.positions[k] = std::move(position);
        m_done[k]          = true;
        if (k > 0 && m_done[k - 1]) judge(k - 1);
        if (k + 1 < m_done.size() && m_done[k + 1]) judge(k);
    }

    // Judges the move from position ply to the next; both are searched.
    void judge(std::size_t ply) {
        const ReviewedPosition& before = m_out.positions[ply];
        const ReviewedPosition& after  = m_out.positions[ply + 1];
        ReviewedMove&           move   = m_out.moves[ply];
        move.ply                       = static_cast<int>(ply);
        move.scores.best               = before.score;
        move.scores.second             = before.secondScore;
        move.scores.played             = moverScore(after.score);
        move.scores.playedBest =
            !before.bestLine.empty() && before.bestLine.front() == m_game.moves[ply];
        move.judgement = judgeMove(move.scores);
        if (move.judgement.mark == MoveMark::Mistake || move.judgement.mark == MoveMark::Blunder) {
            MistakeFacts facts;
            facts.fen         = m_game.fens[ply];
            facts.played      = m_game.moves[ply];
            facts.refutation  = after.bestLine;
            facts.best        = before.bestLine.empty() ? std::string() : before.bestLine.front();
            facts.bestLine    = before.bestLine;
            facts.bestScore   = move.scores.best;
            facts.playedScore = move.scores.played;
            move.explanation  = explainMistake(facts);
        }
        if (m_progress) m_progress(move);
    }

    const ReviewGameInput&   m_game;
    const ReviewSettings&    m_settings;
    GameReview&              m_out;
    const ReviewProgress&    m_progress;
    const std::atomic<bool>* m_cancel;
    std::vector<std::size_t> m_queue; // the positions to search, in game order
    std::atomic<std::size_t> m_next{0};
    std::mutex               m_mutex; // over m_out, m_done, m_error and the progress calls
    std::vector<bool>        m_done;
    std::atomic<bool>        m_failed{false};
    std::string              m_error;
};

} // namespace

bool currentGameForReview(ReviewGameInput& out) {
    out                  = ReviewGameInput{};
    const Board saved    = board;
    const int   savedPly = gamePly;
    out.startFen         = gameHeader.fen;
    if (!setupGameStart()) {
        board   = saved;
        gamePly = savedPly;
        return false;
    }
    char text[256];
    for (int ply = 0;; ++ply) {
        gamePly = ply;
        boardToText(text, sizeof text);
        out.fens.emplace_back(text);
        out.mateStatus.push_back(mateStatus(board.sideToMove));
        if (ply >= MaxGameMoves || !gameMoves[ply].piece) break;
        moveToCoords(gameMoves[ply], text);
        out.moves.emplace_back(text);
        makeMove(gameMoves[ply]);
    }
    board   = saved;
    gamePly = savedPly;
    return true;
}

EngineSetup reviewEngineSetup(const EngineSetup& engine) {
    EngineSetup setup = engine;
    setup.multiPv     = 2;
    setup.preferred   = {{"OwnBook", "false"},
                         {"UCI_AnalyseMode", "true"},
                         {"Threads", "1"},
                         {"Hash", ReviewHashMb}};
    return setup;
}

ReviewOutcome reviewGameWith(EngineSession& session, const ReviewGameInput& game,
                             const ReviewSettings& settings, GameReview& out, std::string& error,
                             const ReviewProgress& progress, const std::atomic<bool>* cancel) {
    ReviewRun run(game, settings, out, progress, cancel);
    run.work(session);
    return run.finish(error);
}

ReviewOutcome reviewGame(const ReviewGameInput& game, const ReviewSettings& settings,
                         GameReview& out, std::string& error, const ReviewProgress& progress,
                         const std::atomic<bool>* cancel) {
    ReviewRun         run(game, settings, out, progress, cancel);
    const EngineSetup setup   = reviewEngineSetup(settings.engine);
    const int         threads = static_cast<int>(std::clamp<std::size_t>(
        run.positionsToSearch(), 1, static_cast<std::size_t>(std::max(1, settings.threads))));
    const auto        worker  = [&] {
        EngineSession session;
        std::string   openError;
        if (!session.open(setup, openError)) {
            run.fail(openError, session.lastError());
            return;
        }
        run.work(session);
    };
    if (run.positionsToSearch() > 0) {
        std::vector<std::thread> pool;
        for (int t = 1; t < threads; ++t)
            pool.emplace_back(worker);
        worker();
        for (std::thread& thread : pool)
            thread.join();
    }
    return run.finish(error);
}
