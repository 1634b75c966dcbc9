// AnalysisSession: the engine that analyses the position shown, run as its own process
// (EngineProcess). Switched on, it shakes hands with the engine, sends the entry's options,
// asks for the set number of lines (MultiPV) and the win/draw/loss chances when the engine
// offers them, switches its own opening book off (a book move comes without lines), then
// searches the position without a limit. When the position changes it stops the search and,
// once the engine has answered the stop, searches the newest position: several changes while
// the engine stops collapse into one, and no line of an old position is ever reported against
// a new one (each position has its own generation number). What the engine says reaches the
// owner as snapshots, scores from White's side, at most one every SnapshotIntervalMs and
// always one as soon as the new position's first line comes.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "app/enginelist.h"
#include "uci/uciclient.h"
#include "view/analysissnapshot.h"

class EngineProcess;

// A position as the engine is given it: where the game starts and the moves played since, so
// that the engine knows the history (repetitions, the fifty-move count).
struct AnalysisPosition {
    std::string              fen;   // empty: the initial position
    std::vector<std::string> moves; // in coordinate form, legal in turn from fen

    bool operator==(const AnalysisPosition&) const = default;
};

class AnalysisSession : public QObject {
    Q_OBJECT
public:
    static constexpr int SnapshotIntervalMs = 100;

    explicit AnalysisSession(QObject* parent = nullptr, UciTimeouts timeouts = {});
    // The engine is shut down: no process outlives the session.
    ~AnalysisSession() override;

    // Starts engine with lineCount lines (1..5); the position set meanwhile is searched once the
    // engine is ready. A session already running is stopped first. A program that cannot be
    // started fails at once (failed, then analysisEnded).
    void start(const EngineEntry& engine, int lineCount);
    // The position to analyse from now on; nothing when it is the one analysed.
    void setPosition(const AnalysisPosition& position);
    // Shuts the engine down and ends the analysis (analysisEnded); nothing when not running.
    void stop();

    bool                    isRunning() const { return m_engine != nullptr; }
    int                     lineCount() const { return m_lineCount; }
    const AnalysisPosition& position() const { return m_position; }
    // Counts the positions set: the snapshot's lines belong to this generation.
    quint64                 generation() const { return m_generation; }
    const AnalysisSnapshot& snapshot() const { return m_snapshot; }
    // What is said instead of lines: the side to move is mated or stalemated, the position
    // cannot be read. Empty while the engine analyses.
    const QString&          notice() const { return m_notice; }
    // The engine's process id while it runs, else 0.
    qint64                  processId() const;
    // The engine's figures: the name it gave (else the entry's).
    QString                 engineName() const;

signals:
    // The analysis of the position changed; an empty snapshot right after the position changed.
    void snapshotChanged(const AnalysisSnapshot& snapshot);
    // The notice changed (empty: the engine analyses again).
    void noticeChanged(const QString& notice);
    // The engine failed: message says so in the user's words. analysisEnded follows.
    void failed(const QString& message);
    // The analysis is over: switched off, or the engine failed.
    void analysisEnded();

private:
    void engineHandshaken();
    void engineReady();
    void engineInfo();
    void engineBestMove();
    void engineFailed();
    // Searches the newest position when the engine waits for one.
    void searchNewest();
    // Makes the snapshot from the client's lines and reports it.
    void publish();
    void setNotice(const QString& notice);
    // Ends the engine (already failed, or to be shut down) and tells the owner.
    void finish();

    UciTimeouts      m_timeouts;
    EngineProcess*   m_engine = nullptr; // owned; deleted later when it fails in its own signal
    EngineEntry      m_entry;
    int              m_lineCount = 3;
    bool             m_ready     = false;  // the handshake and its options are done
    AnalysisPosition m_position;
    bool             m_hasPosition   = false;
    bool             m_positionValid = true;
    bool             m_blackToMove   = false;
    quint64          m_generation    = 0;
    quint64          m_searched      = 0;  // the generation last given to the engine (or judged
                                           // to need no search), 0 when none
    AnalysisSnapshot m_snapshot;
    QString          m_notice;
    QTimer           m_throttle;           // while it runs, snapshots wait for its end
    bool             m_dirty = false;      // news came while the throttle ran
};
