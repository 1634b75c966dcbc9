// A board view whose platform operations are scripted, and helpers that drive it with mouse
// clicks on the squares' rectangles, as a user would.
#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "app/norvanedoc.h"
#include "tests/passwait.h"
#include "engine/attacks.h"
#include "engine/makemove.h"
#include "engine/search.h"
#include "engine/strength.h"
#include "engine/think.h"
#include "records/game.h"
#include "records/san.h"
#include "view/norvaneview.h"

// Answers of the promotion dialog.
inline constexpr int PromoteQueen = 0, PromoteRook = 1, PromoteBishop = 2, PromoteKnight = 3,
                     CancelPromotion = -1;

class ScriptedView : public CNorvaneView {
public:
    using CNorvaneView::CNorvaneView;
    // The worker may be inside Think, which uses this object's fields.
    ~ScriptedView() override { AbandonThinking(); }

    QStringList                          messages;
    int                                  beeps = 0, promotionsAsked = 0, waitCursors = 0;
    std::deque<int>                      promotionAnswers;      // CancelPromotion cancels
    int                                  newGameChoice = Black; // -1 cancels
    std::function<bool(GameInfoValues&)> gameInfo;              // null cancels
    QString                              savePath;              // empty cancels
    SaveAnswer                           saveAnswer = SaveAnswer::Discard; // before a game goes
    int                                  saveQuestions = 0;
    bool                                 yesAnswer = false;     // the yes/no questions' answer
    QStringList                          yesNoQuestions;
    const SaveCalls*                     fileCalls = nullptr;   // null: the system's
    std::deque<std::string>              engineMoves; // SAN replies played instead of thinking
    bool                                 timerRunning = false, realTimer = false;
    // The helpers below wait for the engine's reply after each click; tests of what happens
    // during a think turn it off.
    bool waitForEngine = true;
    // The budget of the real engine once the scripted replies are used up.
    ThinkLimits limits = {600, 200, 6, true, EngineSearch::recordIteration};
    std::uint64_t workerNodes = 0; // nodes of the last real think, written on the worker
    int         strengthAsked = -1; // the strength dialog's answer; -1 cancels

protected:
    void MessageBox(const QString& text) override { messages << text; }
    void Beep() override { ++beeps; }
    bool AskPromotion(int& choice) override {
        ++promotionsAsked;
        const int answer = promotionAnswers.empty() ? CancelPromotion : promotionAnswers.front();
        if (!promotionAnswers.empty()) promotionAnswers.pop_front();
        if (answer == CancelPromotion) return false;
        choice = answer;
        return true;
    }
    bool AskNewGame(int& choice) override {
        if (newGameChoice < 0) return false;
        choice = newGameChoice;
        return true;
    }
    bool    AskGameInfo(GameInfoValues& values) override { return gameInfo && gameInfo(values); }
    QString AskSavePath() override { return savePath; }
    SaveAnswer AskSaveChanges() override {
        ++saveQuestions;
        return saveAnswer;
    }
    bool AskYesNo(const QString& text) override {
        yesNoQuestions << text;
        return yesAnswer;
    }
    const SaveCalls& FileCalls() override { return fileCalls ? *fileCalls : CNorvaneView::FileCalls(); }
    // The real timer when realTimer is set; otherwise the test ticks by hand.
    void StartReplayTimer() override {
        timerRunning = true;
        if (realTimer) CNorvaneView::StartReplayTimer();
    }
    void StopReplayTimer() override {
        timerRunning = false;
        CNorvaneView::StopReplayTimer();
    }
    void SetWaitCursor(bool wait) override { waitCursors += wait ? 1 : 0; }
    // Scripted replies first; then the real engine on a short budget.
    int Think(int side, Move* out) override {
        if (!engineMoves.empty()) {
            const std::string san = engineMoves.front();
            engineMoves.pop_front();
            *out = Move{};
            sanToMove(san.c_str(), static_cast<int>(san.size()) - 1, out);
            return 0;
        }
        const int score = thinkMove(side, out, limits);
        workerNodes     = searchNodes; // the worker's own count, read after the join
        return score;
    }
    bool AskStrength(int& level) override {
        if (strengthAsked < 0) return false;
        level = strengthAsked;
        return true;
    }
};

// A document with the scripted board view, shown at its natural size.
// Lets the engine's worker finish and its move be played, as the event loop does; false when
// the think does not end.
inline bool waitForReply(CNorvaneView* view) { return waitForTask(view->Thinker()); }

struct PlayFixture {
    std::unique_ptr<CNorvaneDoc> doc;
    ScriptedView*                view = nullptr;

    void make() {
        doc  = std::make_unique<CNorvaneDoc>();
        view = new ScriptedView(doc.get());
        view->m_strengthLevel = FullStrength; // whatever the settings hold
        view->resize(300, 300);
        view->show();
    }
    // A new game with choice (0 the engine has White, 1 Black, 2 game entry), the engine's
    // first move played; false when its think does not end.
    bool newGame(int choice) {
        view->newGameChoice = choice;
        view->OnNewGame();
        return waitForReply(view);
    }
    void destroy() {
        delete view;
        view = nullptr;
        doc.reset();
        clearGame();
    }
};


// Board square of a name like "e4".
inline int squareOf(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }

// A click at the centre of board square s's rectangle on the screen.
inline void clickSquare(ScriptedView* view, int s) {
    QTest::mouseClick(view, Qt::LeftButton, {},
                      view->m_squareRects[view->DisplaySquare(s)].center());
    if (view->waitForEngine) waitForReply(view);
}
inline void clickSquare(ScriptedView* view, const char* name) { clickSquare(view, squareOf(name)); }

// Plays one SAN move of the side to move by two clicks: the piece, then its destination.
// False when the move does not read.
inline bool clickMove(ScriptedView* view, const std::string& san) {
    Move m{};
    if (!sanToMove(san.c_str(), static_cast<int>(san.size()) - 1, &m)) return false;
    clickSquare(view, moveFrom(m));
    clickSquare(view, moveTo(m));
    return true;
}

// The Board's hash key after the first count moves of line from the start; the Board is put
// back as it was.
inline std::uint64_t keyAfter(const Move* line, int count) {
    Board saved = board;
    setupStartKeepingMoves();
    for (int i = 0; i < count; ++i)
        makeMove(line[i]);
    const std::uint64_t key = board.hashKey;
    board                   = saved;
    return key;
}

// Empty when the sprite map shows exactly the Board's pieces, each on its square's place and
// in the document's list; else what is wrong.
inline QString mapMismatch(const CNorvaneDoc& doc, const CNorvaneView& view) {
    int pieces = 0;
    for (int s = 0; s < 64; ++s) {
        const bool occupied   = (board.colourBits[White] | board.colourBits[Black]) & squareBit[s];
        const CSprite* sprite = view.m_squareSprites[view.DisplaySquare(s)];
        if (occupied != (sprite != nullptr)) return QString("square %1").arg(s);
        if (!sprite) continue;
        ++pieces;
        if (QPoint(sprite->GetX(), sprite->GetY()) !=
            view.m_squareRects[view.DisplaySquare(s)].topLeft())
            return QString("sprite of square %1 misplaced").arg(s);
    }
    const int strips = (view.m_mode & ModeCoordinates) ? 2 : 0;
    if (int(doc.m_sprites.GetCount()) != pieces + strips)
        return QString("%1 sprites for %2 pieces").arg(doc.m_sprites.GetCount()).arg(pieces);
    return {};
}

// The SAN tokens of a line.
inline std::deque<std::string> tokens(const std::string& line) {
    std::istringstream      in(line);
    std::deque<std::string> out;
    for (std::string token; in >> token;)
        out.push_back(token);
    return out;
}

// A private copy of a test data file: the document locks the file it opens, and other test
// programs running at the same time open the originals.
inline QString privateCopy(const char* name) {
    static QTemporaryDir dir;
    const QString        copy = dir.filePath(name);
    if (!QFile::exists(copy)) QFile::copy(QString(NORVANE_TEST_DATA "/") + name, copy);
    return copy;
}
