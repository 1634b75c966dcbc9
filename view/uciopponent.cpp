// The board view's game against a UCI engine: the opponent chosen for the game, its process
// started and shut down with the game, each of its turns asked with the game's position and the
// clock, its answer played as the built-in engine's is, and its failures told to the user with
// the game kept as it stands.
#include <algorithm>
#include <string>
#include <vector>

#include "app/norvanedoc.h"
#include "app/opponentengine.h"
#include "engine/coords.h"
#include "engine/think.h"
#include "records/san.h"
#include "resources/enginetexts.h"
#include "resources/gametexts.h"
#include "resources/viewtexts.h"
#include "view/norvaneview.h"

bool CNorvaneView::OpponentThinks() const { return m_opponentEngine && m_opponentEngine->isThinking(); }

bool CNorvaneView::IsThinking() const { return m_thinker.IsRunning() || OpponentThinks(); }

QString CNorvaneView::OpponentName() const {
    return m_gameOpponent ? opponentPlayerName(m_gameChoice)
                          : QString::fromUtf8(ViewText::EngineName);
}

void CNorvaneView::ChooseGameOpponent() {
    EndOpponentEngine();
    m_gameOpponent.reset();
    // A chosen engine that is no longer among the engines leaves the built-in one to play.
    if (m_engineSide == White || m_engineSide == Black) m_gameOpponent = opponentEngine(m_opponent);
    // The game keeps the choice it started with, whatever the next new-game dialog says.
    m_gameChoice = m_opponent;
}

void CNorvaneView::StartOpponentEngine() {
    if (!m_gameOpponent || m_opponentEngine || !(m_mode & ModePlaying)) return;
    m_opponentEngine = new OpponentEngine(*m_gameOpponent, m_gameChoice);
    connect(m_opponentEngine, &OpponentEngine::moveChosen, this,
            [this](const QString& move, int score) { OnOpponentMove(move, score); });
    connect(m_opponentEngine, &OpponentEngine::failed, this,
            [this](const QString& message) { OnOpponentFailed(message); });
    m_opponentEngine->start();
}

void CNorvaneView::EndOpponentEngine(bool now) {
    if (!m_opponentEngine) return;
    OpponentEngine* engine = m_opponentEngine;
    m_opponentEngine       = nullptr;
    engine->disconnect(this);
    // Destroying it quits the engine. It may be telling this view something right now (the
    // move that ends the game, its failure): then it goes once that is done.
    if (now)
        delete engine;
    else
        engine->deleteLater();
}

void CNorvaneView::UciEngineReply() {
    if (!m_opponentEngine) StartOpponentEngine();
    if (!m_opponentEngine || m_opponentEngine->hasFailed()) return;
    m_thinkLine = GetDocument()->m_strMoveInfo;
    UciGo limits;
    if (ClockRunning()) {
        const std::int64_t now     = ClockNow();
        const TimeControl& control = m_clock.control();
        limits.wtime               = std::max<std::int64_t>(0, m_clock.remaining(White, now));
        limits.btime               = std::max<std::int64_t>(0, m_clock.remaining(Black, now));
        limits.winc                = control.side[White].incrementMs;
        limits.binc                = control.side[Black].incrementMs;
    } else {
        limits.movetime = HardTimeLimitMs;
    }
    std::vector<std::string> moves;
    for (int i = 0; i < gamePly; ++i) {
        char text[8];
        moveToCoords(gameMoves[i], text);
        moves.emplace_back(text);
    }
    m_opponentEngine->think(gameHeader.fen, moves, limits);
    SetWaitCursor(true);
    m_thinkClock.start();
    m_thinkTicker.start();
    ShowThinking();
}

void CNorvaneView::OnOpponentMove(const QString& move, int score) {
    ClearThinkingMarks();
    if (!(m_mode & ModePlaying)) return;
    // The user may be looking back: the answer is read and played at the game's end.
    GoToGameEnd();
    if (m_engineSide != board.sideToMove) return;
    Move m{};
    if (move.isEmpty() || !coordsToMove(move.toLatin1().constData(), &m)) {
        const QString name = m_gameOpponent ? m_gameOpponent->name : OpponentName();
        OnOpponentFailed(QString::fromUtf8(GameText::IllegalEngineMove)
                             .arg(name, move.isEmpty() ? QStringLiteral("(none)") : move));
        return;
    }
    PlayEngineReply(m, score);
}

void CNorvaneView::OnOpponentFailed(const QString& message) {
    ClearThinkingMarks();
    EndOpponentEngine();
    if (m_mode & ModePlaying) {
        StopGameClock();
        SwitchTo(ModeViewing);
        // The game so far stays on the board and goes into the games file as one left.
        KeepPlayedGame();
        ComposeMoveInfo();
        GetDocument()->UpdateAllViews(this, HintPositionChanged);
    }
    MessageBox(QString::fromUtf8(GameText::GameInterrupted).arg(message));
}

void CNorvaneView::ShowOpponentThinking() {
    QString line = QString::fromUtf8(EngineText::Thinking).arg(m_thinkClock.elapsed() / 1000);
    if (const int depth = m_opponentEngine->depth(); depth > 0) {
        // The best move so far in SAN when it reads as a legal move here, else as written.
        const std::string best  = m_opponentEngine->bestSoFar();
        QString           shown = QString::fromStdString(best);
        Move              m{};
        char              san[16] = {};
        if (!best.empty() && coordsToMove(best.c_str(), &m)) {
            moveToSan(m, san);
            shown = QString::fromLatin1(san);
        }
        line += QString::fromUtf8(EngineText::Progress).arg(depth).arg(shown);
    }
    if (!m_thinkLine.isEmpty()) line += "   " + m_thinkLine;
    GetDocument()->m_strMoveInfo = line;
}
