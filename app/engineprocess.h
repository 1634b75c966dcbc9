// EngineProcess: one UCI engine run as a QProcess, its session kept by a UciClient. The
// engine's lines arrive with QProcess's readyRead, a timer looks at the client's deadlines,
// and whatever goes wrong (the program cannot start, the engine exits, hangs or writes what is
// not its protocol) ends in one failed signal with the process killed, so that the window goes
// on. The owner words the error (app/enginemessages.h). Destroying the object quits the engine
// and, when it does not go at once, kills it: no engine process outlives its owner.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>

#include "uci/uciclient.h"

class EngineProcess : public QObject, private UciTransport {
    Q_OBJECT

public:
    // The longest line taken from an engine, in bytes without its end; a longer one is garbage.
    static constexpr qsizetype MaxLine = qsizetype{1} << 20;

    explicit EngineProcess(QObject* parent = nullptr, UciTimeouts timeouts = {});
    ~EngineProcess() override;
    EngineProcess(const EngineProcess&)            = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Starts program with arguments and sends uci: handshaken or failed follows. Once per object.
    void start(const QString& program, const QStringList& arguments);

    // The client's commands; a command the engine cannot be sent fails the session (failed is
    // emitted before the call returns false). Each is taken only in the client's states that
    // take it (uci/uciclient.h).
    bool setOption(const std::string& name, const std::optional<std::string>& value);
    bool newGame();
    bool isReady();
    bool go(const std::string& fen, const std::vector<std::string>& moves, const UciGo& limits);
    bool stop();
    bool ponderHit();

    // Sends quit and gives the engine graceMs to end, then kills it; returns once it is reaped.
    void shutdown(int graceMs = 300);

    const UciClient& client() const { return m_client; }
    UciClient::State state() const { return m_client.state(); }
    bool             failed() const { return m_client.state() == UciClient::State::Failed; }
    const UciError&  error() const { return m_client.error(); }
    // The engine's process id while it runs, else 0.
    qint64           processId() const { return m_process.processId(); }

signals:
    void handshaken();
    void ready();
    // The lines or the search's figures changed (several info lines may come as one signal).
    void infoChanged();
    void bestMoveReceived();
    void sessionFailed();

private:
    bool sendLine(const std::string& line) override;
    void readOutput();
    void processEnded();
    void startFailed();
    void tick();
    // Acts on what the client answered; false once the session has failed.
    bool handle(UciEvent event);
    bool afterCommand(bool taken);

    QProcess   m_process;
    QTimer     m_ticker;
    UciClient  m_client;
    QByteArray m_pending;          // bytes read past the last whole line
    bool       m_skipping = false; // inside a line longer than MaxLine
    bool       m_failReported = false;
};
