#include "app/engineprocess.h"

#include "uci/processrunner.h"

namespace {

// How often the client's deadlines are looked at while the engine runs.
constexpr int TickMs = 100;

}  // namespace

EngineProcess::EngineProcess(QObject* parent, UciTimeouts timeouts)
    : QObject(parent), m_client(*this, timeouts) {
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_ticker.setInterval(TickMs);
    connect(&m_ticker, &QTimer::timeout, this, &EngineProcess::tick);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &EngineProcess::readOutput);
    connect(&m_process, &QProcess::finished, this, &EngineProcess::processEnded);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) startFailed();
    });
}

EngineProcess::~EngineProcess() {
    // The process's signals must not reach a half-destroyed object.
    m_process.disconnect(this);
    shutdown();
}

void EngineProcess::start(const QString& program, const QStringList& arguments) {
    if (m_client.state() != UciClient::State::NotStarted) return;
    m_process.start(program, arguments, QIODevice::ReadWrite | QIODevice::Unbuffered);
    if (!m_process.waitForStarted(5000)) {
        startFailed();
        return;
    }
    m_ticker.start();
    m_client.start(steadyMilliseconds());
    handle(failed() ? UciEvent::Failed : UciEvent::None);
}

bool EngineProcess::sendLine(const std::string& line) {
    if (m_process.state() != QProcess::Running) return false;
    QByteArray bytes(line.data(), static_cast<qsizetype>(line.size()));
    bytes += '\n';
    return m_process.write(bytes) == bytes.size();
}

bool EngineProcess::afterCommand(bool taken) {
    if (failed()) {
        handle(UciEvent::Failed);
        return false;
    }
    return taken;
}

bool EngineProcess::setOption(const std::string& name, const std::optional<std::string>& value) {
    return afterCommand(m_client.setOption(name, value));
}
bool EngineProcess::newGame() { return afterCommand(m_client.newGame()); }
bool EngineProcess::isReady() { return afterCommand(m_client.isReady(steadyMilliseconds())); }
bool EngineProcess::go(const std::string& fen, const std::vector<std::string>& moves,
                       const UciGo& limits) {
    return afterCommand(m_client.go(fen, moves, limits));
}
bool EngineProcess::stop() { return afterCommand(m_client.stop(steadyMilliseconds())); }
bool EngineProcess::ponderHit() { return afterCommand(m_client.ponderHit()); }

void EngineProcess::readOutput() {
    m_pending += m_process.readAllStandardOutput();
    bool changed = false;
    for (qsizetype start = 0;;) {
        const qsizetype end = m_pending.indexOf('\n', start);
        if (end < 0) {
            m_pending.remove(0, start);
            break;
        }
        if (m_skipping) {
            m_skipping = false;  // the end of the long line, already reported
            start      = end + 1;
            continue;
        }
        qsizetype length = end - start;
        if (length > 0 && m_pending[end - 1] == '\r') --length;
        const std::string line(m_pending.constData() + start, static_cast<std::size_t>(length));
        start = end + 1;
        const UciEvent event = m_client.lineReceived(line, steadyMilliseconds());
        if (event == UciEvent::Info) {
            changed = true;  // told once for the whole batch
            continue;
        }
        if (changed && (event == UciEvent::BestMove || event == UciEvent::Failed)) {
            changed = false;
            emit infoChanged();
        }
        if (!handle(event)) return;
    }
    if (m_pending.size() > MaxLine) {
        m_pending.clear();
        m_skipping = true;
        if (!handle(m_client.unreadableLine("line longer than " + std::to_string(MaxLine) +
                                            " bytes")))
            return;
    }
    if (changed) emit infoChanged();
}

void EngineProcess::processEnded() {
    m_ticker.stop();
    readOutput();
    ProcessExit exit;
    if (m_process.exitStatus() == QProcess::NormalExit) {
        exit.exited = true;
        exit.code   = m_process.exitCode();
    } else {
        exit.signaled = true;
        exit.signal   = m_process.exitCode();
    }
    handle(m_client.engineExited(describeExit(exit, true)));
}

void EngineProcess::startFailed() {
    handle(m_client.startFailed(m_process.errorString().toStdString()));
}

void EngineProcess::tick() { handle(m_client.tick(steadyMilliseconds())); }

bool EngineProcess::handle(UciEvent event) {
    switch (event) {
    case UciEvent::None:
        return true;
    case UciEvent::Handshaken:
        emit handshaken();
        return true;
    case UciEvent::Ready:
        emit ready();
        return true;
    case UciEvent::Info:
        emit infoChanged();
        return true;
    case UciEvent::BestMove:
        emit bestMoveReceived();
        return true;
    case UciEvent::Failed:
        break;
    }
    if (m_failReported) return false;
    m_failReported = true;
    m_ticker.stop();
    m_process.disconnect(this);
    m_process.kill();
    m_process.waitForFinished(1000);
    emit sessionFailed();
    return false;
}

void EngineProcess::shutdown(int graceMs) {
    m_ticker.stop();
    if (m_process.state() == QProcess::NotRunning) return;
    m_client.quit();
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(graceMs)) {
        m_process.kill();
        m_process.waitForFinished(1000);
    }
}
