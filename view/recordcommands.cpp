// The board view's commands on the current game as text: copy the board, copy, paste and show
// the game record, and edit the game's information.
//
// Header fields hold the bytes that were read (from a file or the clipboard). They are decoded
// only for display; a field the user did not change keeps its bytes, and what the user typed is
// stored as UTF-8.
#include <QClipboard>
#include <QGuiApplication>

#include <cstring>
#include <memory>
#include <vector>

#include "app/currentgame.h"
#include "app/norvanedoc.h"
#include "app/savetext.h"
#include "engine/fensetup.h"
#include "engine/makemove.h"
#include "records/fen.h"
#include "records/pgnread.h"
#include "records/pgnwrite.h"
#include "resources/viewtexts.h"
#include "view/norvaneview.h"
#include "view/othertags.h"
#include "view/parseproblem.h"
#include "view/pastemessages.h"
#include "view/recordtext.h"

namespace {

// Cuts bytes to at most limit bytes without splitting a UTF-8 sequence.
void cutToFit(QByteArray& bytes, qsizetype limit) {
    if (bytes.size() <= limit) return;
    qsizetype n = limit;
    while (n > 0 && (static_cast<unsigned char>(bytes[n]) & 0xC0) == 0x80)
        --n;
    bytes.truncate(n);
}

// Drops an incomplete UTF-8 sequence that a cut left at the end of bytes, so that a cut text
// is still recognised as UTF-8.
void dropPartialCharacter(QByteArray& bytes) {
    qsizetype i        = bytes.size();
    int       trailing = 0;
    while (i > 0 && trailing < 3 && (static_cast<unsigned char>(bytes[i - 1]) & 0xC0) == 0x80) {
        --i;
        ++trailing;
    }
    if (i == 0) return;
    const unsigned char lead = static_cast<unsigned char>(bytes[i - 1]);
    const int           need = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (lead >= 0xC0 && trailing < need) bytes.truncate(i - 1);
}

// The edited text of a field as bytes: the field's own bytes when the text shown was not
// changed, else the new text as UTF-8, cut to fit.
QByteArray editedBytes(const char* original, const QString& shown, const QString& edited,
                       qsizetype limit) {
    QByteArray bytes = edited == shown ? QByteArray(original) : edited.toUtf8();
    cutToFit(bytes, limit);
    return bytes;
}

void setClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

// A copy of the current game, put back when a paste yields none.
struct KeptGame {
    GameHeader   header = gameHeader;
    Move         moves[MaxGameMoves];
    std::int32_t ply = gamePly;
    GameEditHistory edits = currentGameEdits();

    KeptGame() { std::memcpy(moves, gameMoves, sizeof moves); }
    void restore() const {
        currentGameEdits() = edits;
        gameHeader = header;
        std::memcpy(gameMoves, moves, sizeof moves);
        gamePly = ply;
    }
};

} // namespace

void CNorvaneView::RestoreShownPosition() {
    setupGameStart();
    for (int i = 0; i < gamePly && i < MaxGameMoves && gameMoves[i].piece; ++i)
        makeMove(gameMoves[i]);
    for (int i = 0; i < m_researchCount && i < MaxGameMoves; ++i)
        makeMove(m_researchMoves[i]);
}

QByteArray CNorvaneView::GameRecordText() {
    // A header changed in the globals (the game's information) is written too.
    syncHeaderFromGlobals();
    const QByteArray text = currentGameSaveText();
    RestoreShownPosition();
    return text;
}

void CNorvaneView::OnCopyBoard() {
    char text[256] = {};
    boardToText(text, sizeof text);
    setClipboardText(QString::fromLatin1(text));
}

void CNorvaneView::OnCopyGame() {
    const QByteArray text = currentGameMainLineText();
    RestoreShownPosition();
    setClipboardText(recordText(text));
}

void CNorvaneView::OnCopyAnnotatedGame() { setClipboardText(recordText(currentGameSaveText())); }

void CNorvaneView::OnPasteGame() {
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty()) return;
    const QByteArray bytes = text.toUtf8();
    if (bytes.size() > PasteLimit) {
        MessageBox(QString::fromUtf8(ViewText::PasteTooLarge).arg(bytes.size()).arg(PasteLimit));
        return;
    }
    // The text replaces the game on the board: a modified one is saved or let go first.
    if (!ConfirmDiscardGame()) return;
    if (PasteFen(bytes)) return;
    // The game on the board is kept until the text proves to hold a game.
    const auto kept = std::make_unique<KeptGame>();
    ParseOutcome outcome;
    bool         whole = loadCurrentGameText(bytes.constData(), static_cast<std::size_t>(bytes.size()), &outcome);
    if (!outcome.gameFound && !bytes.contains('[')) {
        // Move text without tags ("1. e4 c5 2. Nf3 d6 *", or bare "e4 c5 Nf3") is a game from
        // the start: it is read behind an empty tag, and taken when it holds a move.
        static constexpr char tagless[] = "[Event \"\"]\n\n";
        const QByteArray      game      = tagless + bytes;
        whole = loadCurrentGameText(game.constData(), static_cast<std::size_t>(game.size()), &outcome);
        if (outcome.offset >= sizeof tagless - 1) outcome.offset -= sizeof tagless - 1;
        outcome.gameFound = gameMoves[0].piece != NoPiece;
    }
    if (!outcome.gameFound) {
        kept->restore();
        RestoreShownPosition();
        MessageBox(QString::fromUtf8(ViewText::PasteNoGame));
        return;
    }
    GetDocument()->m_loadedGame = -1; // the board no longer shows the file's game
    OnUpdate(this, HintReloadGame);
    if (!whole) MessageBox(parseProblemMessage(outcome));
}

bool CNorvaneView::PasteFen(const QByteArray& bytes) {
    // One line of six fields, or of four (the counters left out).
    const QByteArray line = bytes.trimmed().simplified();
    if (line.isEmpty() || line.size() >= TagFieldSize || bytes.trimmed().contains('\n') ||
        line.contains('[') || line.count(' ') < 3 || line.count(' ') > 5)
        return false;
    QByteArray fen = line;
    if (line.count(' ') == 3) fen += " 0 1";
    char error[128];
    if (!setupFromFen(fen.constData(), error, sizeof error)) { // the Board stays
        // A line shaped as a FEN is one: it says why its position cannot stand rather than
        // being read as moves.
        if (!looksLikeFen(line)) return false;
        MessageBox(pastedFenMessage(error));
        return true;
    }
    clearGame();
    std::memcpy(gameHeader.fen, fen.constData(), static_cast<std::size_t>(fen.size()));
    gameHeader.fen[fen.size()] = '\0';
    setupGameStart();
    takeCurrentGameFromGlobals();
    GetDocument()->m_loadedGame = -1;
    OnUpdate(this, HintReloadGame);
    return true;
}

void CNorvaneView::OnShowRecord() {
    // A message box shows the start of a long game only.
    char buffer[1280];
    writeGameRecord(buffer, sizeof buffer);
    RestoreShownPosition();
    buffer[sizeof buffer - 1] = '\0';
    QByteArray text(buffer);
    dropPartialCharacter(text);
    MessageBox(recordText(text));
}

void CNorvaneView::OnEditGameInfo() {
    char* const    fields[6] = {gameHeader.event, gameHeader.site,  gameHeader.date,
                                gameHeader.round, gameHeader.white, gameHeader.black};
    GameInfoValues shown;
    QString* const texts[6] = {&shown.event, &shown.site,  &shown.date,
                               &shown.round, &shown.white, &shown.black};
    for (int i = 0; i < 6; ++i)
        *texts[i] = recordText(fields[i]);
    const int info = gameHeader.info;
    shown.result   = (info & WhiteWon) ? 3 : (info & BlackWon) ? 1 : (info & Drawn) ? 2 : 0;
    if (const int eco = info & EcoMask; eco < NoEco)
        shown.eco = QString("%1%2%3").arg(QChar('A' + eco / 100)).arg(eco % 100 / 10).arg(eco % 10);
    shown.otherTags = recordText(gameHeader.otherTags);

    GameInfoValues edited = shown;
    if (!AskGameInfo(edited)) return;
    const auto before = std::make_unique<GameHeader>(gameHeader);

    const QString* const results[6] = {&edited.event, &edited.site,  &edited.date,
                                       &edited.round, &edited.white, &edited.black};
    for (int i = 0; i < 6; ++i) {
        const QByteArray bytes = editedBytes(fields[i], *texts[i], *results[i], TagFieldSize - 1);
        std::memcpy(fields[i], bytes.constData(), static_cast<std::size_t>(bytes.size()));
        fields[i][bytes.size()] = '\0';
    }

    static constexpr int resultBits[4] = {0, BlackWon, Drawn, WhiteWon};
    int                  word          = NoEco;
    if (edited.result >= 0 && edited.result < 4) word |= resultBits[edited.result];
    const QByteArray eco = edited.eco.toUtf8();
    if (const int index = ecoIndexOf(eco.constData(), static_cast<int>(eco.size())); index != NoEco)
        word = (word & ~EcoMask) | index;
    gameHeader.info = static_cast<std::uint16_t>(word);

    const QByteArray tags = edited.otherTags == shown.otherTags ? QByteArray(gameHeader.otherTags)
                                                                : edited.otherTags.toUtf8();
    readOtherTags(tags.constData(), static_cast<std::size_t>(tags.size()), gameHeader.otherTags,
                  sizeof gameHeader.otherTags);
    syncEditedHeader(*before);
    SetGameModified(true);
}
