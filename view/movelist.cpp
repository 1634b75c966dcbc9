#include "view/movelist.h"

#include <algorithm>

#include <QEvent>
#include <QHeaderView>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/norvanedoc.h"
#include "book/namedline.h"
#include "book/openings.h"
#include "engine/makemove.h"
#include "app/currentgame.h"
#include "records/gametree.h"
#include "records/game.h"
#include "view/norvaneview.h"
#include "view/reviewmarks.h"
#include "view/sidelinetext.h"

namespace {

const char* resultText(int info) {
    return info & WhiteWon ? "1-0" : info & BlackWon ? "0-1" : info & Drawn ? "1/2-1/2" : "*";
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
    m_pTable->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pTable, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ShowContextMenu(at); });
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
    m_paragraphs.clear();
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

    const MoveNumbering numbering{firstMover, startNumber};

    QTableWidgetItem* current = nullptr;
    // The rows are made in reading order: the main line's moves two to a row; a comment, a
    // move's side lines or the research line start rows of their own, and the main line goes
    // on in a new row after them.
    int  row        = -1;
    bool rowOfMoves = false;
    int  labelWidth = 44; // the move numbers' column fits the longest
    const auto newRow = [&](bool ofMoves) {
        row = m_pTable->rowCount();
        m_pTable->insertRow(row);
        m_targets.emplace_back(3);
        rowOfMoves = ofMoves;
    };
    const auto addMove = [&](const QString& text, int ply) {
        const int column = numbering.blackMoves(ply) ? 2 : 1;
        if (row < 0 || column == 1 || !rowOfMoves || m_pTable->item(row, 2)) {
            newRow(true);
            auto* label = new QTableWidgetItem(QString("%1.").arg(numbering.number(ply)));
            labelWidth  = std::max(labelWidth, fontMetrics().horizontalAdvance(label->text()) + 12);
            label->setFlags(Qt::ItemIsEnabled);
            m_pTable->setItem(row, 0, label);
        }
        auto* item = new QTableWidgetItem(text);
        m_pTable->setItem(row, column, item);
        m_targets[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = {ply + 1};
        return item;
    };
    // A row across the table: a main-line comment, or a paragraph of side lines.
    const auto addParagraph = [&](const QString& html, int depth, const QString& plain) {
        newRow(false);
        auto* label = new QLabel(html);
        label->setWordWrap(true);
        label->setTextFormat(Qt::RichText);
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        label->setContextMenuPolicy(Qt::NoContextMenu); // the table's menu serves it
        label->setContentsMargins(4 + 16 * depth, 1, 4, 1);
        label->setAccessibleName(plain);
        label->setToolTip(depth == 0 ? plain : QString());
        connect(label, &QLabel::linkActivated, this, [this](const QString& link) {
            QMetaObject::invokeMethod(this, [this, link] { GoToLink(link); }, Qt::QueuedConnection);
        });
        m_pTable->setSpan(row, 0, 1, 3);
        m_pTable->setCellWidget(row, 0, label);
        m_paragraphs.push_back(row);
        rowOfMoves = false;
    };
    const auto addComments = [&](const std::vector<std::string>& comments) {
        for (const std::string& comment : comments) {
            const QString text = commentShown(comment);
            if (!text.isEmpty())
                addParagraph(QString("<span style=\"color:#006400\">%1</span>").arg(text.toHtmlEscaped()), 0,
                             text);
        }
    };

    int gameCount = 0;
    while (gameCount < MaxGameMoves && gameMoves[gameCount].piece)
        ++gameCount;
    // The tree's comments, glyphs and side lines, when it holds the game shown.
    const bool      annotated = currentTreeMatchesGlobals();
    const GameTree& tree      = currentGameTree();
    int             matched   = 0;
    const NodePath  shownPath = view->ShownPath(&matched);
    const bool inTree = !research || (annotated && matched == view->m_researchCount);
    // A research line that the tree does not hold stands where it leaves the game.
    const auto addResearch = [&] {
        std::vector<QString> sans;
        for (int k = 0; k < MaxGameMoves && view->m_researchMoves[k].piece; ++k)
            sans.push_back(QString::fromLatin1(view->m_researchSan[k]));
        const SideLineParagraph line =
            researchParagraph(sans, gamePly, numbering, view->m_researchCount - 1);
        addParagraph(line.html, 1, line.text);
    };
    if (annotated) addComments(tree.comments);
    for (int k = 0; k < gameCount; ++k) {
        const MoveNode* node = annotated ? &tree.mainLine.moves[static_cast<std::size_t>(k)] : nullptr;
        if (node) addComments(node->commentsBefore);
        QString text = QString::fromLatin1(view->m_gameSan[k]);
        if (node) text += glyphsText(node->nags);
        QTableWidgetItem* item = addMove(text, k);
        item->setData(MainLinePlyRole, k);
        if (k + 1 == gamePly && (!research || (inTree && shownPath.size() <= 1 && view->m_researchCount == 0)))
            current = item;
        if (research && inTree && shownPath == NodePath{k}) current = item;
        if (node) {
            addComments(node->commentsAfter);
            for (const SideLineParagraph& paragraph :
                 sideLineParagraphs(tree, k, numbering, inTree ? shownPath : NodePath{}))
                addParagraph(paragraph.html, paragraph.depth, paragraph.text);
        }
        if (research && !inTree && k == gamePly) addResearch();
    }
    if (research && !inTree && gamePly >= gameCount) addResearch();
    m_pTable->setColumnWidth(0, labelWidth);
    FitMoveColumns();
    newRow(false);
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
    FitParagraphs();
}

void CMoveListView::GoToCell(int row, int column) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_targets.size() || column < 1 || column > 2)
        return;
    const Target target = m_targets[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    CNorvaneView* view  = GetDocument()->GetBoardView();
    if (!view) return;
    if (target.ply > 0) view->GoToPly(target.ply, false);
}

void CMoveListView::GoToLink(const QString& link) {
    CNorvaneView* view = GetDocument()->GetBoardView();
    if (!view) return;
    NodePath path;
    int      count = 0;
    if (linkPath(link, path)) view->GoToPath(path);
    else if (linkResearch(link, count)) view->GoToPly(count, true);
}

void CMoveListView::FitParagraphs() {
    const int width = m_pTable->viewport()->width();
    for (int row : m_paragraphs)
        if (auto* label = qobject_cast<QLabel*>(m_pTable->cellWidget(row, 0)))
            m_pTable->setRowHeight(row, std::max(label->heightForWidth(width),
                                                 m_pTable->verticalHeader()->defaultSectionSize()));
}

void CMoveListView::SetContextMenu(QMenu* menu) { m_pContextMenu = menu; }

void CMoveListView::ShowContextMenu(const QPoint& at) {
    if (!m_pContextMenu) return;
    // A right click on a main-line move shows it first: the commands act on the shown move.
    const QModelIndex index = m_pTable->indexAt(at);
    if (index.isValid() && index.column() >= 1) GoToCell(index.row(), index.column());
    m_pContextMenu->exec(m_pTable->viewport()->mapToGlobal(at));
}
