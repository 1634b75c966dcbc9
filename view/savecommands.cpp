// The board view's saving: 保存 (append to a chosen file), 上書き保存 (replace the loaded game
// in its file), the question before a modified game is let go, and the recovery file of a
// game in progress.
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

#include "app/norvanedoc.h"
#include "app/currentgame.h"
#include "app/recoveryfile.h"
#include "app/savefile.h"
#include "app/savetext.h"
#include "records/pgnread.h"
#include "resources/viewtexts.h"
#include "view/norvaneview.h"

bool CNorvaneView::SaveGameAs() {
    const QString path = AskSavePath();
    if (path.isEmpty()) return false;
    const QByteArray  text    = GameRecordText();
    const SaveOutcome outcome = appendToFile(path, text, FileCalls());
    if (!outcome.done) {
        const char* words = outcome.opening || outcome.notRegular ? ViewText::SaveOpenFailed
                                                                  : ViewText::SaveWriteFailed;
        MessageBox(QString::fromUtf8(words).arg(QDir::toNativeSeparators(path),
                                                saveFailureReason(outcome)));
        return false;
    }
    GameSaved();
    return true;
}

bool CNorvaneView::CanOverwrite() const {
    const CNorvaneDoc* doc = GetDocument();
    return CanUseGame() && doc && !doc->IsPassRunning() && doc->HoldsLoadedGame();
}

void CNorvaneView::OnOverwrite() {
    CNorvaneDoc* doc = GetDocument();
    if (!CanOverwrite()) return;
    const QString name = QDir::toNativeSeparators(doc->GetPathName());
    const QByteArray  text = GameRecordText();
    const bool        keep = QSettings().value(KeepBackupKey, true).toBool();
    const SaveOutcome outcome = doc->OverwriteLoadedGame(text, keep, FileCalls());
    if (outcome.done) {
        GameSaved();
        return;
    }
    if (outcome.changedOnDisk) {
        // The game's bytes are no longer where the index says: nothing is written.
        if (AskYesNo(QString::fromUtf8(ViewText::OverwriteChanged).arg(name))) doc->ReindexChangedFile();
        return;
    }
    MessageBox(QString::fromUtf8(ViewText::OverwriteFailed).arg(name, saveFailureReason(outcome)));
}

void CNorvaneView::SetGameModified(bool modified) {
    if (CNorvaneDoc* doc = GetDocument()) doc->SetModifiedFlag(modified);
}

bool CNorvaneView::IsGameModified() const {
    const CNorvaneDoc* doc = GetDocument();
    return doc && doc->IsModified();
}

bool CNorvaneView::ConfirmDiscardGame() {
    if (IsGameModified()) {
        switch (AskSaveChanges()) {
        case SaveAnswer::Cancel:
            return false;
        case SaveAnswer::Save:
            if (!SaveGameAs()) return false;
            break;
        case SaveAnswer::Discard:
            SetGameModified(false);
            break;
        }
    }
    // The game goes: one against the engine is kept in the games file first.
    KeepPlayedGame();
    if (!m_recoveryPath.isEmpty()) removeRecoveryFile(m_recoveryPath);
    return true;
}

void CNorvaneView::GameSaved() {
    currentGameEdits().markSaved();
    SetGameModified(false);
    if (!m_recoveryPath.isEmpty()) removeRecoveryFile(m_recoveryPath);
}

void CNorvaneView::GameMoveStored() {
    syncPlayedGame();
    // The Board still shows the position before the move: its side to move is the mover.
    if ((m_mode & ModePlaying) && m_engineSide != EngineNone && board.sideToMove != m_engineSide)
        m_keepPending = true;
    SetGameModified(true);
    // In a game with a clock the file is written once the move's clock time is in the game
    // (NoteMoveClock), not twice per move.
    if (m_recoveryPath.isEmpty() || ClockRunning()) return;
    // The move is already in the game; the Board still shows the position before it.
    WriteRecoveryFile();
}

void CNorvaneView::WriteRecoveryFile() {
    if (m_recoveryPath.isEmpty()) return;
    writeRecoveryFile(m_recoveryPath, GameRecordText());
    markRecoveryUnkept(m_recoveryPath, m_keepPending && !m_gameKept);
}

bool CNorvaneView::OfferRecovery() {
    if (m_recoveryPath.isEmpty()) return false;
    const QByteArray text = readRecoveryFile(m_recoveryPath);
    if (text.isEmpty()) return false;
    // Whatever the user answers, a game against the engine that a crash cut off is kept.
    // A game that could not be written keeps its mark, to be tried again at the next start.
    if (recoveryUnkept(m_recoveryPath) && KeepRecoveredGame(text))
        markRecoveryUnkept(m_recoveryPath, false);
    if (!AskYesNo(QString::fromUtf8(ViewText::OfferRecovery))) {
        removeRecoveryFile(m_recoveryPath);
        return false;
    }
    ParseOutcome outcome;
    loadCurrentGameText(text.constData(), static_cast<std::size_t>(text.size()), &outcome);
    if (!outcome.gameFound) { // nothing to restore: the board keeps its game
        removeRecoveryFile(m_recoveryPath);
        return false;
    }
    GetDocument()->m_loadedGame = -1;
    OnUpdate(this, HintReloadGame);
    // The recovered game is in no file yet: undoing all the way still leaves it modified.
    currentGameEdits().markUnsaved();
    SetGameModified(true);
    return true;
}

SaveAnswer CNorvaneView::AskSaveChanges() {
    QMessageBox box(QMessageBox::Question, "Norvane", QString::fromUtf8(ViewText::AskSaveChanges),
                    QMessageBox::NoButton, window());
    QPushButton* save    = box.addButton(QString::fromUtf8("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QString::fromUtf8("保存しない"), QMessageBox::DestructiveRole);
    QPushButton* cancel  = box.addButton(QString::fromUtf8("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return SaveAnswer::Save;
    if (box.clickedButton() == discard) return SaveAnswer::Discard;
    return SaveAnswer::Cancel;
}

bool CNorvaneView::AskYesNo(const QString& text) {
    return QMessageBox::question(window(), "Norvane", text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

const SaveCalls& CNorvaneView::FileCalls() { return systemSaveCalls(); }
