// OpponentEngine: a UCI engine playing one game against the user. It starts the engine, gives it
// the kept option values and the chosen strength, tells it a new game begins, and then answers
// each move asked of it with the engine's bestmove and its last score. A move asked before the
// engine is ready waits for it; an answer dropped (a fallen flag, the window closing) is never
// told. Whatever goes wrong ends in one failed signal, worded for the user.
#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "app/enginelist.h"
#include "app/opponent.h"
#include "uci/uciclient.h"

class EngineProcess;

class OpponentEngine : public QObject {
    Q_OBJECT

public:
    OpponentEngine(const EngineEntry& engine, const OpponentChoice& choice,
                   QObject* parent = nullptr, UciTimeouts timeouts = {});
    // The engine quits (it is killed when it does not go at once).
    ~OpponentEngine() override;

    // Starts the engine's program; handshake, options and the new game follow by themselves.
    void start();
    // Asks for a move in the position of fen (empty: the initial one) after moves.
    void think(const std::string& fen, const std::vector<std::string>& moves, const UciGo& limits);
    // "今すぐ指す": the running search ends and its move is answered.
    void moveNow();
    // The move asked is not wanted any more: a running search is stopped and its answer dropped.
    void dropAnswer();
    // A move was asked and is still to come.
    bool isThinking() const { return m_asked; }
    bool hasFailed() const { return m_failed; }

    const EngineEntry& engine() const { return m_engine; }
    // The running search's figures for the status line: its depth (0 before the first) and its
    // best move so far in coordinates.
    int         depth() const;
    std::string bestSoFar() const;
    // The process id of the engine while it runs, else 0.
    qint64 processId() const;

signals:
    // The engine's answer: its move in coordinates as it wrote it (empty when it said it has
    // none), and its last score from its own side in centipawns (a mate as a large score).
    void moveChosen(const QString& move, int score);
    // The engine failed; message says so in the user's words.
    void failed(const QString& message);

private:
    void handshaken();
    void ready();
    void bestMove();
    void sessionFailed();
    // Sends the waiting request when the engine can take it.
    void sendRequest();

    struct Request {
        std::string              fen;
        std::vector<std::string> moves;
        UciGo                    limits;
    };

    EngineEntry            m_engine;
    OpponentChoice         m_choice;
    EngineProcess*         m_process  = nullptr;
    bool                   m_ready    = false; // options and ucinewgame sent, readyok come
    bool                   m_asked    = false; // a move is wanted
    bool                   m_dropping = false; // the running search's answer is not wanted
    bool                   m_failed   = false;
    std::optional<Request> m_request; // a move asked, not yet sent to the engine
};
