#include "view/norvaneview.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSettings>
#include <QShortcut>


#include "app/commands.h"
#include "app/dialogs.h"
#include "app/newgamedialog.h"
#include "app/norvanedoc.h"
#include "engine/attacks.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "engine/think.h"
#include "resources/viewtexts.h"

CNorvaneView::CNorvaneView(CNorvaneDoc* doc, QWidget* parent) : COSBView(parent) {
    // Display square d at the standard size: 31 x 31 pixels, 33 apart, a1 (unflipped) at the
    // bottom left.
    for (int d = 0; d < 64; ++d) {
        m_squareRects[d]   = m_geometry.SquareRect(d);
        m_squareSprites[d] = nullptr;
    }
    m_highlights.shown = QSettings().value(HighlightsKey, true).toBool();
    // Escape puts a carried piece back wherever the keyboard focus is in the window.
    new QShortcut(
        QKeySequence(Qt::Key_Escape), this,
        [this] {
            CancelCarry();
            ClearTypedMove();
        },
        Qt::WindowShortcut);
    // A click gives the board the keyboard, for typed moves.
    setFocusPolicy(Qt::StrongFocus);
    ClearGameSan();
    ClearResearch();
    clearGame();
    m_replayTimer.setInterval(ReplayIntervalMs);
    connect(&m_replayTimer, &QTimer::timeout, this, [this] { OnTimer(ReplayTimerId); });
    // A carried piece follows the mouse with no button held.
    setMouseTracking(true);
    ConnectEngine();
    m_opponent = storedOpponent();
    ConnectMoveAnimation();
    doc->AddView(this);
    doc->AttachBoardView(this);
}

CNorvaneView::~CNorvaneView() {
    // A running slide stops where it is; the sprites are the document's to free.
    m_slide.stop();
    m_slides.clear();
    m_vanishing = nullptr;
    AbandonThinking();
    EndOpponentEngine(true);
    if (CNorvaneDoc* doc = GetDocument(); doc && doc->m_sprites.m_notify.m_pView == this)
        doc->m_sprites.m_notify.m_pView = nullptr;
}

CNorvaneDoc* CNorvaneView::GetDocument() const {
    return static_cast<CNorvaneDoc*>(CView::GetDocument());
}

void CNorvaneView::Render(const QRect* clip) {
    CNorvaneDoc* doc = GetDocument();
    if (!doc || !doc->m_pBackground || !GetBuffer()) return;
    QRect area = doc->m_pBackground->GetRect();
    if (clip) area = area.intersected(*clip);
    if (!area.isEmpty())
        doc->m_pBackground->CopyBits(GetBuffer(), area.left(), area.top(), area.width(),
                                     area.height(), area.left(), area.top(), -1);
    // The highlights lie on the squares, under the pieces.
    if (!m_highlightPainter && GetPalette())
        m_highlightPainter = std::make_unique<HighlightPainter>(*GetPalette());
    if (m_highlightPainter && !area.isEmpty())
        m_highlightPainter->Paint(*GetBuffer(), area, m_geometry, m_mode & ModeFlipped,
                                  m_highlights);
    // The analysis's arrows over the highlights, under the pieces too.
    if (!m_arrows.empty() && !area.isEmpty()) {
        if (!m_arrowPainter && GetPalette())
            m_arrowPainter = std::make_unique<ArrowPainter>(*GetPalette());
        if (m_arrowPainter)
            m_arrowPainter->Paint(*GetBuffer(), area, m_geometry, m_mode & ModeFlipped, m_arrows);
    }
    const auto& sprites = doc->m_sprites.Sprites();
    for (auto s = sprites.rbegin(); s != sprites.rend(); ++s)
        (*s)->Render(GetBuffer(), clip);
}

// --- The mouse --------------------------------------------------------------------------

void CNorvaneView::OnLButtonDown(QPoint p) {
    // While the engine thinks its move is still to come: the board takes no clicks.
    // Looking back during a game: a move is made only at the game's last position.
    if (!(m_mode & (ModePlaying | ModeResearch)) || (m_mode & ModeReplaying) || IsThinking() ||
        ShowsEarlierPosition() || gamePly >= InputMoveLimit || m_researchCount >= InputMoveLimit)
        return;

    if (!m_pHeld) {
        // A piece is picked up where it stands, not where a slide shows it.
        FinishMoveAnimation();
        CSprite* sprite = GetDocument()->m_sprites.HitTest(p.x(), p.y());
        if (!sprite) return;
        // The square the sprite stands on, from its position (division truncates toward 0).
        const QRect a1 = m_geometry.SquareRect(0);
        const int   c  = (sprite->GetX() - a1.left()) / m_geometry.Pitch();
        const int   r  = (a1.top() - sprite->GetY()) / m_geometry.Pitch();
        const int   s  = DisplaySquare(c + 8 * r);
        if (s < 0 || s > 63 || !m_squareRects[DisplaySquare(s)].contains(p) ||
            !(board.colourBits[board.sideToMove] & squareBit[s]))
            return;
        m_pickSquare = s;
        m_pHeld      = sprite;
        m_grabOffset = p - QPoint(sprite->GetX(), sprite->GetY());
        sprite->SetZ(CarriedDepth);
        BoardHighlights marks = m_highlights;
        marks.pickSquare      = s;
        marks.targets         = legalTargets(s);
        marks.captures        = marks.targets & (board.colourBits[White] | board.colourBits[Black]);
        UpdateHighlights(marks);
        RenderAndDrawDirtyList();
        return;
    }
    DropAt(p);
}

int CNorvaneView::DisplaySquareAt(QPoint p) const {
    for (int d = 0; d < 64; ++d)
        if (m_squareRects[d].contains(p)) return d;
    return -1;
}

void CNorvaneView::DropAt(QPoint p) {
    if (!m_pHeld) return;
    const int d = DisplaySquareAt(p);
    if (d < 0) return; // between squares or off the board: the piece stays in hand
    const int t = DisplaySquare(d);
    if (t == m_pickSquare) {
        PutBack();
        return;
    }
    // A king is never captured: such a drop is not even tried.
    if (t == board.kingSquare[White] || t == board.kingSquare[Black]) return;
    Move m{};
    if (!moveFromCoords(&m, board.sideToMove, m_pickSquare * 64 + t)) return;
    // An illegal drop is silent: the piece stays in hand.
    if (leavesKingAttacked(m)) return;
    if (promotionType(m) != NoPiece) {
        int choice = 0;
        if (!AskPromotion(choice) || choice < 0 || choice > 3) {
            PutBack();
            return;
        }
        static constexpr int pieces[4] = {Queen, Rook, Bishop, Knight};
        m.flags = static_cast<std::uint16_t>((m.flags & ~PromotionMask) | (pieces[choice] << 12));
    }
    m_pHeld->SetZ(RestingDepth);
    m_pHeld = nullptr;
    m_highlights.ForgetCarry(); // the step draws the whole board

    PlayUserMove(m);
}

void CNorvaneView::PlayUserMove(const Move& m) {
    StoreUserMove(m);
    StepForward();
    if (!(m_mode & ModePlaying) || !AfterGameMove()) return;
    if (m_engineSide == board.sideToMove)
        EngineReply();
    else if (m_engineSide == EngineNone)
        RecordGameEnd();
}

void CNorvaneView::OnMouseMove(QPoint p) {
    if (!m_pHeld) return;
    const QPoint at = p - m_grabOffset;
    m_pHeld->SetPosition(at.x(), at.y());
    RenderAndDrawDirtyList();
}

void CNorvaneView::OnRButtonDown() {
    if (m_pHeld) PutBack();
}

void CNorvaneView::PutBack() {
    if (!m_pHeld) return;
    const QRect home = m_squareRects[DisplaySquare(m_pickSquare)];
    m_pHeld->SetPosition(home.left(), home.top());
    m_pHeld->SetZ(RestingDepth);
    m_pHeld               = nullptr;
    BoardHighlights marks = m_highlights;
    marks.ForgetCarry();
    UpdateHighlights(marks);
    RenderAndDrawDirtyList();
}

void CNorvaneView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(ToBuffer(event->position()));
    else if (event->button() == Qt::RightButton)
        OnRButtonDown();
}

void CNorvaneView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) OnLButtonUp(ToBuffer(event->position()));
}

void CNorvaneView::mouseMoveEvent(QMouseEvent* event) { OnMouseMove(ToBuffer(event->position())); }

// --- Platform operations ----------------------------------------------------------------

void CNorvaneView::MessageBox(const QString& text) {
    QMessageBox::information(this, QString::fromUtf8(ViewText::Caption), text);
}

void CNorvaneView::Beep() { QApplication::beep(); }

// Shows a choice dialog opened at choice; on OK, choice becomes the user's.
static bool askChoice(CChoiceDialog& dialog, int& choice) {
    dialog.m_choice = choice;
    if (dialog.exec() != QDialog::Accepted) return false;
    choice = dialog.m_choice;
    return true;
}

bool CNorvaneView::AskPromotion(int& choice) {
    CPromotionDialog dialog(this);
    return askChoice(dialog, choice);
}

bool CNorvaneView::AskNewGame(int& choice) {
    CGameStartDialog dialog(this);
    dialog.m_choice      = choice;
    dialog.m_timeControl = m_timeControl;
    dialog.m_opponent    = m_opponent;
    if (dialog.exec() != QDialog::Accepted) return false;
    choice        = dialog.m_choice;
    m_timeControl = dialog.m_timeControl;
    if (choice != EngineNone && dialog.m_opponent != m_opponent) {
        m_opponent = dialog.m_opponent;
        storeOpponent(m_opponent);
    }
    return true;
}

bool CNorvaneView::AskGameInfo(GameInfoValues& values) {
    CGameInfoDialog dialog(this);
    QString*        fields[6]  = {&dialog.m_event, &dialog.m_site,  &dialog.m_date,
                                  &dialog.m_round, &dialog.m_white, &dialog.m_black};
    QString*        values6[6] = {&values.event, &values.site,  &values.date,
                                  &values.round, &values.white, &values.black};
    for (int i = 0; i < 6; ++i)
        *fields[i] = *values6[i];
    dialog.m_result    = values.result;
    dialog.m_eco       = values.eco;
    dialog.m_otherTags = values.otherTags;
    if (dialog.exec() != QDialog::Accepted) return false;
    for (int i = 0; i < 6; ++i)
        *values6[i] = *fields[i];
    values.result    = dialog.m_result;
    values.eco       = dialog.m_eco;
    values.otherTags = dialog.m_otherTags;
    return true;
}

QString CNorvaneView::AskSavePath() {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("pgn");
    dialog.setNameFilter(QString::fromUtf8(ViewText::SaveFilter));
    dialog.selectFile(QString::fromUtf8(ViewText::SaveDefaultName));
    // The game is appended: choosing an existing file is the normal case, not an overwrite.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void CNorvaneView::StartReplayTimer() {
    if (!m_replayTimer.isActive()) m_replayTimer.start();
}

void CNorvaneView::StopReplayTimer() {
    m_replayTimer.stop();
}

void CNorvaneView::SetWaitCursor(bool wait) {
    // Only over the board: the rest of the window works while the engine thinks.
    if (wait)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

int CNorvaneView::Think(int side, Move* out) {
    ThinkLimits limits   = m_thinkLimits;
    limits.iterationDone = EngineSearch::recordIteration;
    return thinkMove(side, out, limits);
}

void CNorvaneView::NewDocument() { GetDocument()->NewDocumentFile(); }

// --- The command table ------------------------------------------------------------------

void CNorvaneView::RegisterCommands(CCommandTable& table) {
    const auto notReplaying = [this] { return !IsReplaying(); };
    const auto usable       = [this] { return CanUseGame(); };
    const auto forward      = [this] { return CanNavigate() && HasNextMove(); };
    const auto back         = [this] { return CanNavigate() && HasPreviousMove(); };
    // clang-format off
    table.Add(CmdNewGame,      [this] { OnNewGame(); },      notReplaying);
    table.Add(CmdForward,      [this] { OnForward(); },      forward);
    table.Add(CmdBack,         [this] { OnBack(); },         back);
    table.Add(CmdFirst,        [this] { OnFirst(); },        back);
    table.Add(CmdLast,         [this] { OnLast(); },         forward);
    table.Add(CmdTakeBack,     [this] { OnTakeBack(); },     [this] { return CanTakeBack(); });
    table.Add(CmdEndGame,      [this] { OnEndGame(); },
              [this] { return (m_mode & ModePlaying) && !IsThinking(); });
    table.Add(CmdReplay,       [this] { OnReplay(); },
              [this] { return (m_mode & ModeViewing) && HasNextMove(); },
              [this] { return IsReplaying(); });
    table.Add(CmdResearch,     [this] { OnResearch(); },
              [this] { return (m_mode & ModeViewing) && !IsReplaying(); },
              [this] { return (m_mode & ModeResearch) != 0; });
    table.Add(CmdFlip,         [this] { OnFlip(); },         {},
              [this] { return (m_mode & ModeFlipped) != 0; });
    table.Add(CmdCoordinates,  [this] { OnCoordinates(); },  {},
              [this] { return (m_mode & ModeCoordinates) != 0; });
    table.Add(CmdHighlights,   [this] { ShowHighlights(!HighlightsShown()); }, {},
              [this] { return HighlightsShown(); });
    table.Add(CmdMoveAnimation, [this] { SetMoveAnimation(!MoveAnimationOn()); }, {},
              [this] { return MoveAnimationOn(); });
    table.Add(CmdKeepFileOnNew,
              [] { QSettings().setValue(KeepFileOnNewKey, !QSettings().value(KeepFileOnNewKey, false).toBool()); },
              {}, [] { return QSettings().value(KeepFileOnNewKey, false).toBool(); });
    table.Add(CmdCopyBoard,    [this] { OnCopyBoard(); },    usable);
    table.Add(CmdCopyGame,     [this] { OnCopyGame(); },     usable);
    table.Add(CmdCopyAnnotated, [this] { OnCopyAnnotatedGame(); }, usable);
    table.Add(CmdPasteGame,    [this] { OnPasteGame(); },    usable);
    table.Add(CmdShowRecord,   [this] { OnShowRecord(); },   usable);
    table.Add(CmdSave,         [this] { OnSave(); },         usable);
    table.Add(CmdOverwrite,    [this] { OnOverwrite(); },    [this] { return CanOverwrite(); });
    table.Add(CmdEditGameInfo, [this] { OnEditGameInfo(); }, usable);
    table.Add(CmdMoveNow,      [this] { OnMoveNow(); },      [this] { return IsThinking(); });
    table.Add(CmdPlayFromHere, [this] { OnPlayFromHere(); }, usable);
    table.Add(CmdStrength,     [this] { OnStrength(); });
    // clang-format on
    RegisterGameEndCommands(table);
    AddEditCommands(table);
}
