// The board view's typed moves: the keys typed with the board focused, the status line that
// shows them with the legal moves they fit, and Enter that plays the move they name.
#include <QKeyEvent>

#include "app/norvanedoc.h"
#include "records/san.h"
#include "records/typedmove.h"
#include "resources/viewtexts.h"
#include "view/norvaneview.h"

namespace {

// More than this many characters are no move in any form ("exd8=Q+!?" is nine).
constexpr int TypedMoveLength = 10;
// The status line lists at most this many candidates.
constexpr int ShownCandidates = 12;

// The characters of SAN and coordinate moves: files, ranks, piece letters, x, =, + and #, the
// O and 0 of castling and its hyphen.
bool isMoveCharacter(QChar c) {
    return QStringLiteral("abcdefgh12345678KQRBNkqrbnOo0x=+#-").contains(c);
}

QString candidateList(const std::vector<Move>& moves) {
    QStringList sans;
    for (const Move& m : moves) {
        if (sans.size() == ShownCandidates) {
            sans << QStringLiteral("…");
            break;
        }
        char san[8];
        moveToSan(m, san);
        sans << QString::fromLatin1(san);
    }
    return sans.join(' ');
}

} // namespace

void CNorvaneView::keyPressEvent(QKeyEvent* event) {
    if (!OnTypedKey(event->key(), event->text())) COSBView::keyPressEvent(event);
}

bool CNorvaneView::OnTypedKey(int key, const QString& text) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (m_typed.isEmpty()) return false;
        EnterTypedMove();
        return true;
    }
    if (key == Qt::Key_Escape) {
        // The window's Escape shortcut clears it too, wherever the focus is.
        if (m_typed.isEmpty()) return false;
        ClearTypedMove();
        return true;
    }
    if (key == Qt::Key_Backspace) {
        if (m_typed.isEmpty()) return false;
        m_typed.chop(1);
        if (m_typed.isEmpty())
            ClearTypedMove();
        else
            ShowTypedMove();
        return true;
    }
    if (text.size() != 1 || !isMoveCharacter(text[0])) return false;
    if (m_typed.size() >= TypedMoveLength) return true;  // beyond any move: not taken
    m_typed += text;
    ShowTypedMove();
    return true;
}

void CNorvaneView::ClearTypedMove() {
    if (m_typed.isEmpty()) return;
    m_typed.clear();
    ComposeMoveInfo();
}

void CNorvaneView::ShowTypedMove() {
    CNorvaneDoc* doc = GetDocument();
    if (!doc) return;
    const TypedMove typed = readTypedMove(m_typed.toStdString());
    const char*     form  = ViewText::TypedIllegal;
    switch (typed.status) {
    case TypedComplete: form = ViewText::TypedComplete; break;
    case TypedPartial: form = ViewText::TypedPartial; break;
    case TypedAmbiguous: form = ViewText::TypedAmbiguous; break;
    default: break;
    }
    QString line = QString::fromUtf8(form).arg(m_typed);
    if (typed.status != TypedIllegal) line = line.arg(candidateList(typed.candidates));
    doc->m_strMoveInfo = line;
}

void CNorvaneView::EnterTypedMove() {
    CNorvaneDoc* doc = GetDocument();
    if (!doc) return;
    const bool playing = m_mode & ModePlaying;
    // What a click may do: no move while replaying, while the engine's move is to come, or
    // beyond the lines' room; in play only on the user's turn.
    if (IsReplaying() || gamePly >= InputMoveLimit || m_researchCount >= InputMoveLimit ||
        (!playing && !(m_mode & ModeViewing))) {
        doc->m_strMoveInfo = QString::fromUtf8(ViewText::TypedNoInput).arg(m_typed);
        return;
    }
    if (ShowsEarlierPosition()) {
        doc->m_strMoveInfo = QString::fromUtf8(ViewText::TypedEarlierPosition).arg(m_typed);
        return;
    }
    if (playing && (IsThinking() || m_engineSide == board.sideToMove)) {
        doc->m_strMoveInfo = QString::fromUtf8(ViewText::TypedNotYourTurn).arg(m_typed);
        return;
    }
    const TypedMove typed = readTypedMove(m_typed.toStdString());
    if (typed.status != TypedComplete) {
        const char* form = typed.status == TypedAmbiguous ? ViewText::TypedAmbiguous
                           : typed.status == TypedPartial ? ViewText::TypedUnfinished
                                                          : ViewText::TypedIllegal;
        QString line = QString::fromUtf8(form).arg(m_typed);
        if (typed.status != TypedIllegal) line = line.arg(candidateList(typed.candidates));
        doc->m_strMoveInfo = line;
        Beep();
        return;
    }
    PutBack();
    m_typed.clear();
    // The step writes the move line.
    if (playing || (m_mode & ModeResearch))
        PlayUserMove(typed.move);
    else
        PlayChosenMove(typed.move);
}
