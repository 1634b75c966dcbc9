#include "view/movelist.h"

#include <algorithm>

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/norvanedoc.h"
#include "book/namedline.h"
#include "book/openings.h"
#include "engine/makemove.h"
#include "records/game.h"
#include "view/norvaneview.h"

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
    m_pTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_pTable->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
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
    // The list reads the Board, which is the engine's worker's while it thinks; the engine's
    // move refreshes it.
    if (GetDocument() && (GetDocument()->m_stateFlags & EngineThinking)) return;
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

    QTableWidgetItem* current = nullptr;
    // Adds the moves of one line, from absolute ply start on, as rows of full moves.
    const auto addLine = [&](const char (*sans)[8], int count, int start, bool isResearch,
                             int currentPly) {
        int row = -1;
        for (int k = 0; k < count; ++k) {
            const int  ply    = start + k; // the move's own ply, counted from the line's start
            const int  mover  = (firstMover + ply) & 1;
            const int  column = mover == White ? 1 : 2;
            const bool newRow = row < 0 || column == 1;
            if (newRow) {
                row = m_pTable->rowCount();
                m_pTable->insertRow(row);
                m_targets.emplace_back(3);
                const int number = (ply + (firstMover == Black ? 1 : 0)) / 2 + 1;
                auto*     label  = new QTableWidgetItem(QString(isResearch ? "  %1." : "%1.")
                                                            .arg(number));
                label->setFlags(Qt::ItemIsEnabled);
                m_pTable->setItem(row, 0, label);
            }
            auto* item = new QTableWidgetItem(QString::fromLatin1(sans[k]));
            if (isResearch) {
                item->setForeground(Qt::darkBlue);
                item->setText("  " + item->text());
            }
            m_pTable->setItem(row, column, item);
            m_targets[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = {
                isResearch ? k + 1 : ply + 1, isResearch};
            if (ply + 1 == currentPly) current = item;
        }
    };
    int gameCount = 0;
    while (gameCount < MaxGameMoves && gameMoves[gameCount].piece)
        ++gameCount;
    addLine(view->m_gameSan, gameCount, 0, false, research ? -1 : gamePly);
    if (research && view->m_researchCount >= 0) {
        int researchCount = 0;
        while (researchCount < MaxGameMoves && view->m_researchMoves[researchCount].piece)
            ++researchCount;
        addLine(view->m_researchSan, researchCount, gamePly, true, gamePly + view->m_researchCount);
    }
    const int resultRow = m_pTable->rowCount();
    m_pTable->insertRow(resultRow);
    m_targets.emplace_back(3);
    auto* result = new QTableWidgetItem(QString::fromLatin1(resultText(gameHeader.info)));
    result->setFlags(Qt::ItemIsEnabled);
    m_pTable->setItem(resultRow, 1, result);
    if (current) {
        m_pTable->setCurrentItem(current);
        m_pTable->scrollToItem(current);
    } else {
        m_pTable->clearSelection();
        m_pTable->scrollToTop();
    }
}

void CMoveListView::GoToCell(int row, int column) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_targets.size() || column < 1 || column > 2)
        return;
    const Target target = m_targets[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    if (target.ply == 0) return;
    if (CNorvaneView* view = GetDocument()->GetBoardView()) view->GoToPly(target.ply, target.research);
}
