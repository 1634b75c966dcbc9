// The board view's edits of the game's tree: a research line kept as a side line, a side line
// promoted or deleted, moves deleted, comments and marks, each undone and redone through the
// current game's history (app/currentgame.h). After each edit the current game is derived
// from the tree again and the board shows the move the edit concerns.
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <string>

#include "app/commands.h"
#include "app/currentgame.h"
#include "app/docview.h"
#include "app/norvanedoc.h"
#include "engine/makemove.h"
#include "records/san.h"
#include "view/norvaneview.h"

namespace {

std::string joined(const std::vector<std::string>& comments) {
    std::string text;
    for (const std::string& comment : comments) {
        if (!text.empty()) text += ' ';
        text += comment;
    }
    return text;
}

int researchLength(const Move* moves) {
    int n = 0;
    while (n < MaxGameMoves && moves[n].piece != NoPiece)
        ++n;
    return n;
}

// The path of the move after the one at path in its line (the first move for the empty path).
NodePath nextInLine(const NodePath& path) {
    if (path.empty()) return {0};
    NodePath next = path;
    ++next.back();
    return next;
}

// The move at path has a move of its own, or one of its side lines starts with move: the
// path of that move, or empty.
NodePath followMove(const GameTree& tree, const NodePath& at, const Move& move) {
    const NodePath next = nextInLine(at);
    const auto     same = [&](const MoveNode* node) {
        return node && node->move.fromTo == move.fromTo && promotionType(node->move) == promotionType(move);
    };
    const MoveNode* node = nodeAt(tree, next);
    if (same(node)) return next;
    if (!node) return {};
    for (std::size_t v = 0; v < node->variations.size(); ++v) {
        NodePath side = next;
        side.push_back(static_cast<int>(v));
        side.push_back(0);
        if (same(nodeAt(tree, side))) return side;
    }
    return {};
}

} // namespace

NodePath CNorvaneView::ShownPath(int* matched) const {
    const GameTree& tree = currentGameTree();
    NodePath        path;
    if (gamePly > 0) path = {gamePly - 1};
    int covered = 0;
    if (m_mode & ModeResearch) {
        while (covered < m_researchCount) {
            NodePath next = followMove(tree, path, m_researchMoves[covered]);
            if (next.empty()) break;
            path = std::move(next);
            ++covered;
        }
    }
    if (matched) *matched = covered;
    return path;
}

bool CNorvaneView::CanEdit() const {
    return (m_mode & ModeViewing) && !IsReplaying() && !IsThinking();
}

bool CNorvaneView::CanAddVariation() const {
    if (!CanEdit() || !(m_mode & ModeResearch) || m_researchCount == 0) return false;
    int matched = 0;
    ShownPath(&matched);
    return matched < m_researchCount; // a line the tree does not hold yet
}

bool CNorvaneView::ShowsSideLine() const { return CanEdit() && ShownPath().size() > 1; }

bool CNorvaneView::HasMoveAfter() const {
    return CanEdit() && nodeAt(currentGameTree(), nextInLine(ShownPath())) != nullptr;
}

bool CNorvaneView::ShowsMove() const {
    if (!CanEdit()) return false;
    int            matched = 0;
    const NodePath path    = ShownPath(&matched);
    return !path.empty() && (!(m_mode & ModeResearch) || matched == m_researchCount);
}

// Derives the globals from the edited tree and shows the position after the move at path (the
// game's start for the empty path): a main-line move in viewing, a side-line move as research
// from the move where its line leaves the main line.
void CNorvaneView::ShowEditedPath(const NodePath& path) {
    deriveCurrentGame();
    ClearResearch();
    ClearGameSan();
    setupGameStart();
    for (int i = 0; i < MaxGameMoves && gameMoves[i].piece; ++i) {
        moveToSan(gameMoves[i], m_gameSan[i]);
        makeMove(gameMoves[i]);
    }
    const GameTree& tree = currentGameTree();
    const NodePath  shown = nodeAt(tree, path) || path.empty() ? path : NodePath{};
    gamePly               = shown.empty() ? 0 : shown.front() + (shown.size() == 1 ? 1 : 0);
    SwitchTo(ModeViewing);
    if (shown.size() > 1) {
        // The whole side line from where it leaves the main line, so that stepping goes on
        // along it; the board at the move shown.
        Move      line[MaxGameMoves];
        int       at    = -1;
        const int count = SideLineMoves(shown, line, MaxGameMoves - 1, at);
        setupGameStart();
        for (int i = 0; i < gamePly; ++i)
            makeMove(gameMoves[i]);
        for (int i = 0; i < count; ++i) {
            moveToSan(line[i], m_researchSan[i]);
            makeMove(line[i]);
            m_researchMoves[i] = line[i];
        }
        m_researchCount = at + 1;
        m_mode |= ModeResearch;
    }
    RestoreShownPosition();
    RebuildSprites();
    GetDocument()->UpdateAllViews(this, HintPositionChanged);
    ComposeMoveInfo();
    SetGameModified(currentGameEdits().modified());
}

void CNorvaneView::OnAddVariation() {
    if (!CanAddVariation()) return;
    // From where the game's own line ends: the research moves the tree already holds are
    // followed by addLine.
    const NodePath    from = gamePly > 0 ? NodePath{gamePly - 1} : NodePath{};
    const std::vector<Move> moves(m_researchMoves, m_researchMoves + researchLength(m_researchMoves));
    // The line is kept whole; the board stays at the research move it showed.
    const int shownMoves = m_researchCount;
    NodePath  last;
    if (!currentGameEdits().addLine(from, moves, &last)) return;
    NodePath shown = from;
    for (int i = 0; i < shownMoves; ++i)
        shown = followMove(currentGameTree(), shown, moves[static_cast<std::size_t>(i)]);
    ShowEditedPath(shown);
}

void CNorvaneView::OnPromoteLine() {
    if (!ShowsSideLine()) return;
    NodePath moved;
    if (currentGameEdits().promoteLine(ShownPath(), true, &moved)) ShowEditedPath(moved);
}

void CNorvaneView::OnDeleteLine() {
    if (!ShowsSideLine()) return;
    // The board goes back to where the line left the main line.
    const int ply = gamePly;
    if (currentGameEdits().deleteLine(ShownPath()))
        ShowEditedPath(ply > 0 ? NodePath{ply - 1} : NodePath{});
}

void CNorvaneView::OnDeleteAfter() {
    if (!HasMoveAfter()) return;
    const NodePath path = ShownPath();
    if (currentGameEdits().deleteFrom(nextInLine(path))) ShowEditedPath(path);
}

void CNorvaneView::OnEditComment() {
    if (!ShowsMove()) return;
    const NodePath  path = ShownPath();
    const MoveNode* node = nodeAt(currentGameTree(), path);
    if (!node) return;
    const QString shownBefore = QString::fromStdString(joined(node->commentsBefore));
    const QString shownAfter  = QString::fromStdString(joined(node->commentsAfter));
    QString       before = shownBefore, after = shownAfter;
    if (!AskComments(before, after)) return;
    if (before.contains('}') || after.contains('}')) {
        MessageBox(QString::fromUtf8("コメントに「}」は使えません。"));
        return;
    }
    // A comment left as it was keeps its bytes (embedded commands included).
    GameEditHistory& history = currentGameEdits();
    bool             changed = false;
    if (before != shownBefore)
        changed |= history.setComment(path, CommentPlace::Before, before.trimmed().toStdString());
    if (after != shownAfter)
        changed |= history.setComment(path, CommentPlace::After, after.trimmed().toStdString());
    if (changed) ShowEditedPath(path);
}

void CNorvaneView::OnSetMark(int mark) {
    if (!ShowsMove()) return;
    const NodePath path = ShownPath();
    if (currentGameEdits().setMark(path, mark)) ShowEditedPath(path);
}

void CNorvaneView::OnUndoEdit() {
    if (!CanEdit() || !currentGameEdits().undo()) return;
    ShowEditedPath(nodeAt(currentGameTree(), ShownPath()) ? ShownPath() : NodePath{});
}

void CNorvaneView::OnRedoEdit() {
    if (!CanEdit() || !currentGameEdits().redo()) return;
    ShowEditedPath(nodeAt(currentGameTree(), ShownPath()) ? ShownPath() : NodePath{});
}

bool CNorvaneView::AskComments(QString& before, QString& after) {
    QDialog dialog(this);
    dialog.setWindowTitle(QString::fromUtf8("コメントの編集"));
    auto* layout     = new QVBoxLayout(&dialog);
    auto* beforeEdit = new QPlainTextEdit(before);
    auto* afterEdit  = new QPlainTextEdit(after);
    layout->addWidget(new QLabel(QString::fromUtf8("手の前のコメント(&B):")));
    layout->addWidget(beforeEdit);
    layout->addWidget(new QLabel(QString::fromUtf8("手の後のコメント(&A):")));
    layout->addWidget(afterEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    afterEdit->setFocus();
    if (dialog.exec() != QDialog::Accepted) return false;
    before = beforeEdit->toPlainText();
    after  = afterEdit->toPlainText();
    return true;
}

void CNorvaneView::AddEditCommands(CCommandTable& table) {
    // During a game against the engine 元に戻す takes back as 待った does.
    table.Add(
        CmdUndoEdit,
        [this] {
            if (CanTakeBack())
                OnTakeBack();
            else
                OnUndoEdit();
        },
        [this] { return CanTakeBack() || (CanEdit() && currentGameEdits().canUndo()); });
    table.Add(CmdRedoEdit, [this] { OnRedoEdit(); },
              [this] { return CanEdit() && currentGameEdits().canRedo(); });
    table.Add(CmdAddVariation, [this] { OnAddVariation(); }, [this] { return CanAddVariation(); });
    table.Add(CmdPromoteLine, [this] { OnPromoteLine(); }, [this] { return ShowsSideLine(); });
    table.Add(CmdDeleteLine, [this] { OnDeleteLine(); }, [this] { return ShowsSideLine(); });
    table.Add(CmdDeleteAfter, [this] { OnDeleteAfter(); }, [this] { return HasMoveAfter(); });
    table.Add(CmdEditComment, [this] { OnEditComment(); }, [this] { return ShowsMove(); });
    for (int mark = NoMark; mark <= LastMark; ++mark)
        table.Add(CmdMarkNone + mark, [this, mark] { OnSetMark(mark); }, [this] { return ShowsMove(); });
}
