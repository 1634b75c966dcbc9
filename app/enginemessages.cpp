#include "app/enginemessages.h"

QString engineErrorText(const QString& engineName, const UciError& error) {
    const QString detail = QString::fromStdString(error.text).left(200);
    switch (error.kind) {
    case UciErrorKind::None:
        break;
    case UciErrorKind::StartFailed:
        return QStringLiteral("エンジン「%1」を起動できません（%2）。").arg(engineName, detail);
    case UciErrorKind::SendFailed:
        return QStringLiteral("エンジン「%1」に指示を送れないため、停止しました。").arg(engineName);
    case UciErrorKind::HandshakeTimeout:
        return QStringLiteral("エンジン「%1」が応答しないため、停止しました（UCI エンジンではない可能性があります）。")
            .arg(engineName);
    case UciErrorKind::ReadyTimeout:
    case UciErrorKind::StopTimeout:
        return QStringLiteral("エンジン「%1」が応答しなくなったため、停止しました。").arg(engineName);
    case UciErrorKind::Exited:
        return QStringLiteral("エンジン「%1」が終了しました（%2）。").arg(engineName, detail);
    case UciErrorKind::Garbage:
        return QStringLiteral("エンジン「%1」が読み取れない出力をしたため、停止しました。").arg(engineName);
    }
    return QString();
}
