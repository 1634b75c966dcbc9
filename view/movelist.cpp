#include "view/movelist.h"

#include <algorithm>

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/norvanedoc.h"
#include "book/namedline.h"
#include "book/openings.h"
#include "engine/makemove.h"
#include "records/annotations.h"
#include "records/game.h"
#include "view/norvaneview.h"
#include "view/reviewmarks.h"

namespace {

const char* resultText(int info) {
    return info & WhiteWon ? "1-0" : info & BlackWon ? "0-1" : info & Drawn ? "1/2-1/2" : "*";
}

// A glyph as written after a move: the six move marks as such, any other as $n.
QString glyphText(int number) {
    static const char* const marks[] = {"!", "?", "!!", "??", "!?", "?!"};
    return number >= 1 && number <= 6 ? QString::fromLatin1(marks[number - 1])
                                      : QString(" $%1").arg(number);
}

// A comment as shown: the commands embedded for programs ("[%clk 0:05:00]", "[%eval 0.24]")
// are left out, and the spaces are made single.
QString commentShown(std::string_view text) {
    static const QRegularExpression command(R"(\[%[^\]]*\])");
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
        .remove(command)
        .simplified();
}

// The side-line note whose line from the main line's ply root is moves[0..count), or -1.
int shownSideLine(int root, const Move* moves, int count) {
    const std::vector<GameNote>& notes = gameAnnotations.notes;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (notes[i].kind != NoteKind::Move || notes[i].root != root || notes[i].length != count)
            continue;
        int at = static_cast<int>(i);
        int k  = count - 1;
        for (; k >= 0 && at >= 0; --k, at = notes[static_cast<std::size_t>(at)].value) {
            const Move& m = notes[static_cast<std::size_t>(at)].move;
            if (m.fromTo != moves[k].fromTo || m.piece != moves[k].piece ||
                m.flags != moves[k].flags)
                break;
        }
        if (k < 0) return static_cast<int>(i);
    }
    return -1;
}

} // namespace

CMoveListView::CMoveListView(CNorvaneDoc* doc, QWidget* parent)
    : CView(parent), m_pOpening(new QLabel(this)), m_pTable(new QTableWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    m_pOpening->setWordWrap(true);
    layout->addWidget(m_pOpening);
    layout->addWidget(m_pTable, 1);
    m_pTable->setColumnCount(3);
    m_pTable->horizontalHeader()->hide();
    m_pTable->verticalHeader()->hide();
    m_pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_pTable->setColumnWidth(0, 44);
    m_pTable->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_pTable->viewport()->installEventFilter(this);
    m_pTable->setShowGrid(false);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->setTabKeyNavigation(false);
    // The board moves once the click is over: moving it makes the rows again.
    connect(m_pTable, &QTableWidget::cellClicked, this, [this](int row, int column) {
        QMetaObject::invokeMethod(this, [this, row, column] { GoToCell(row, column); },
                                  Qt::QueuedConnection);
    });
    doc->AddView(this);
}

CNorvaneDoc* CMoveListView::GetDocument() const {
    return static_cast<CNorvaneDoc*>(CView::GetDocument());
}

void CMoveListView::OnUpdate(CView*, int hint) {
    if (hint & (HintPositionChanged | HintReloadGame | HintOpeningNames)) Refresh();
}

void CMoveListView::Refresh() {
    const CNorvaneView* view = GetDocument() ? GetDocument()->GetBoardView() : nullptr;
    m_pTable->clearContents();
    m_pTable->setRowCount(0);
    m_targets.clear();
    if (!view) return;
    const OpeningNameSettings& names = GetDocument()->m_openingNames;
    const NamedPosition named = shownOpening(
        names, {gameMoves, static_cast<std::size_t>(std::max(gamePly, 0))},
        {view->m_researchMoves, static_cast<std::size_t>(std::max(view->m_researchCount, 0))});
    char openingLabel[OpeningTextSize];
    openingLabelText(named, names, openingLabel, sizeof openingLabel);
    m_pOpening->setText(QString::fromUtf8(openingLabel));

    const bool research = (view->m_mode & ModeResearch) != 0;
    // The line's first move is White's unless the game starts from a set-up position with
    // Black to move: the position before it tells.
    const Board saved = board;
    setupGameStart();
    const int firstMover = board.sideToMove;
    board                = saved;
    // Numbers continue those of the game's start (a set-up position's FEN), as the status
    // line numbers them.
    const int startNumber = gameStart().moveNumber;

    QTableWidgetItem* current = nullptr;
    // The rows are made in reading order: moves two to a row, a comment or a change of line
    // starts a new row.
    int  row        = -1;
    bool rowOfMoves = false;
    int  rowDepth   = 0;
    QTableWidgetItem* lastMove   = nullptr; // the cell a glyph after it joins
    int               labelWidth = 44;      // the move numbers' column fits the deepest
    const auto newRow = [&](int depth, bool ofMoves) {
        row = m_pTable->rowCount();
        m_pTable->insertRow(row);
        m_targets.emplace_back(3);
        rowOfMoves = ofMoves;
        rowDepth   = depth;
    };
    // A move of any line: ply counts from the game's start.
    const auto addMove = [&](const char* san, int ply, int depth, Target target,
                             const QBrush& colour) {
        const int mover  = (firstMover + ply) & 1;
        const int column = mover == White ? 1 : 2;
        const QString indent(2 * depth, ' ');
        if (row < 0 || column == 1 || !rowOfMoves || rowDepth != depth ||
            m_pTable->item(row, 2)) {
            newRow(depth, true);
            const int number = (ply + (firstMover == Black ? 1 : 0)) / 2 + startNumber;
            auto*     label  = new QTableWidgetItem(indent + QString("%1.").arg(number));
            labelWidth =
                std::max(labelWidth, fontMetrics().horizontalAdvance(label->text()) + 12);
            label->setFlags(Qt::ItemIsEnabled);
            m_pTable->setItem(row, 0, label);
        }
        auto* item = new QTableWidgetItem(indent + QString::fromLatin1(san));
        item->setForeground(colour);
        m_pTable->setItem(row, column, item);
        m_targets[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = target;
        lastMove = item;
        return item;
    };
    const auto addComment = [&](const GameNote& note) {
        const QString text = commentShown(gameAnnotations.commentOf(note));
        if (text.isEmpty()) return;
        newRow(note.depth, false);
        const QString indent(2 * note.depth, ' ');
        auto*         item = new QTableWidgetItem(indent + text);
        item->setFlags(Qt::ItemIsEnabled);
        item->setForeground(Qt::darkGreen);
        item->setToolTip(text);
        m_pTable->setItem(row, 0, item);
        m_pTable->setSpan(row, 0, 1, 3);
        const int width  = std::max(m_pTable->viewport()->width(), 200) - 8;
        const int height = m_pTable->fontMetrics()
                               .boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap,
                                             indent + text)
                               .height();
        m_pTable->setRowHeight(
            row, std::max(height + 4, m_pTable->verticalHeader()->defaultSectionSize()));
        lastMove = nullptr;
    };

    int gameCount = 0;
    while (gameCount < MaxGameMoves && gameMoves[gameCount].piece)
        ++gameCount;
    const std::vector<GameNote>& notes = gameAnnotations.notes;
    std::vector<QTableWidgetItem*> noteCells(notes.size(), nullptr);
    std::size_t nextNote = 0;
    // The notes that stand after ply moves of the main line.
    const auto addNotes = [&](int ply) {
        for (; nextNote < notes.size() && notes[nextNote].ply <= ply; ++nextNote) {
            const GameNote& note = notes[nextNote];
            switch (note.kind) {
            case NoteKind::Comment:
                addComment(note);
                break;
            case NoteKind::Glyph:
                if (lastMove) lastMove->setText(lastMove->text() + glyphText(note.value));
                break;
            case NoteKind::LineBegins:
            case NoteKind::LineEnds:
                rowOfMoves = false;
                lastMove   = nullptr;
                break;
            case NoteKind::Move:
                noteCells[nextNote] =
                    addMove(note.san, note.root + note.length - 1, note.depth,
                            {0, true, static_cast<int>(nextNote)}, QBrush(Qt::darkGray));
                break;
            }
        }
    };
    addNotes(0);
    for (int k = 0; k < gameCount; ++k) {
        QTableWidgetItem* item = addMove(view->m_gameSan[k], k, 0, {k + 1, false, -1},
                                         m_pTable->palette().text());
        item->setData(MainLinePlyRole, k);
        if (!research && k + 1 == gamePly) current = item;
        addNotes(k + 1);
    }
    addNotes(MaxGameMoves);
    if (research && view->m_researchCount >= 0) {
        int researchCount = 0;
        while (researchCount < MaxGameMoves && view->m_researchMoves[researchCount].piece)
            ++researchCount;
        // A side line of the game shown in research is highlighted where it stands.
        const int shown = shownSideLine(gamePly, view->m_researchMoves, researchCount);
        if (shown >= 0) {
            int at = shown;
            for (int k = researchCount; k > view->m_researchCount && at >= 0; --k)
                at = notes[static_cast<std::size_t>(at)].value;
            if (view->m_researchCount > 0 && at >= 0)
                current = noteCells[static_cast<std::size_t>(at)];
        } else {
            rowOfMoves = false;
            for (int k = 0; k < researchCount; ++k) {
                QTableWidgetItem* item =
                    addMove(view->m_researchSan[k], gamePly + k, 1, {k + 1, true, -1},
                            QBrush(Qt::darkBlue));
                if (k + 1 == view->m_researchCount) current = item;
            }
        }
    }
    m_pTable->setColumnWidth(0, labelWidth);
    FitMoveColumns();
    newRow(0, false);
    auto* result = new QTableWidgetItem(QString::fromLatin1(resultText(gameHeader.info)));
    result->setFlags(Qt::ItemIsEnabled);
    m_pTable->setItem(row, 1, result);
    // How a game against the engine ended, beside its result.
    if (!view->EndReason().isEmpty()) {
        auto* reason = new QTableWidgetItem(view->EndReason());
        reason->setFlags(Qt::ItemIsEnabled);
        m_pTable->setItem(row, 2, reason);
    }
    if (current) {
        m_pTable->setCurrentItem(current);
        m_pTable->scrollToItem(current);
    } else {
        m_pTable->clearSelection();
        m_pTable->scrollToTop();
    }
}

void CMoveListView::ShowReviewMarks(const ReviewMarks* marks) {
    m_pTable->setItemDelegate(new ReviewMarkDelegate(marks, m_pTable));
    connect(marks, &ReviewMarks::changed, m_pTable->viewport(), qOverload<>(&QWidget::update));
}

void CMoveListView::AddPaneBelow(QWidget* pane) { layout()->addWidget(pane); }

bool CMoveListView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pTable->viewport() && event->type() == QEvent::Resize) FitMoveColumns();
    return CView::eventFilter(watched, event);
}

void CMoveListView::FitMoveColumns() {
    const int room = m_pTable->viewport()->width() - m_pTable->columnWidth(0);
    m_pTable->setColumnWidth(1, std::clamp(room / 2, 1, MaxWhiteColumn));
}

void CMoveListView::GoToCell(int row, int column) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_targets.size() || column < 1 || column > 2)
        return;
    const Target target = m_targets[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    CNorvaneView* view  = GetDocument()->GetBoardView();
    if (!view) return;
    if (target.note >= 0)
        view->GoToSideLine(static_cast<std::size_t>(target.note));
    else if (target.ply > 0)
        view->GoToPly(target.ply, target.research);
}
