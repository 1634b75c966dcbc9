#include "view/explorer.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/norvanedoc.h"
#include "book/namedline.h"
#include "book/openings.h"
#include "records/gamefilter.h"
#include "records/gamesearch.h"
#include "resources/studytexts.h"
#include "view/norvaneview.h"
#include "view/progresspane.h"

namespace {

constexpr int ColumnCountOfRows = 7;
constexpr int rowColumnWidths[ColumnCountOfRows] = {44, 44, 48, 48, 48, 44, 200};
// Room beside a cell's text: the item's margins and a little air.
constexpr int CountColumnPadding = 14;

QString percentText(std::uint32_t part, std::uint32_t whole) {
    return whole ? QString::number((part * 200LL + whole) / (2LL * whole)) + '%' : QString();
}

} // namespace

CExplorerView::CExplorerView(CNorvaneDoc* doc, QWidget* parent)
    : CView(parent), m_pSummary(new QLabel(this)), m_pRows(new QTreeWidget(this)),
      m_pBuild(new QPushButton(QString::fromUtf8(StudyText::ExplorerBuild), this)),
      m_pListGames(new QPushButton(QString::fromUtf8(StudyText::ExplorerListGames), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    m_pSummary->setWordWrap(true);
    layout->addWidget(m_pSummary);
    layout->addWidget(m_pRows, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pListGames);
    buttons->addWidget(m_pBuild);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    QStringList headers;
    for (const char* header : StudyText::ExplorerColumns)
        headers << QString::fromUtf8(header);
    m_pRows->setHeaderLabels(headers);
    m_pRows->setRootIsDecorated(false);
    m_pRows->setUniformRowHeights(true);
    m_pRows->setAllColumnsShowFocus(true);
    m_pRows->header()->setStretchLastSection(true);
    m_pRows->header()->setSectionsMovable(false);
    for (int c = 0; c < ColumnCountOfRows; ++c)
        m_pRows->setColumnWidth(c, rowColumnWidths[c]);
    // The move is played once the click is over: playing it makes the rows again.
    const auto playLater = [this](QTreeWidgetItem* item) {
        const int row = m_pRows->indexOfTopLevelItem(item);
        QMetaObject::invokeMethod(this, [this, row] { PlayRow(row); }, Qt::QueuedConnection);
    };
    connect(m_pRows, &QTreeWidget::itemClicked, this, playLater);
    connect(m_pRows, &QTreeWidget::itemActivated, this, playLater);
    connect(m_pBuild, &QPushButton::clicked, this, &CExplorerView::StartBuild);
    connect(m_pListGames, &QPushButton::clicked, this, &CExplorerView::ListGames);
    connect(&m_buildTask, &CBackgroundTask::progressed, this, [this](int percent) {
        m_pSummary->setText(QString::fromUtf8(StudyText::ExplorerBuilding).arg(percent));
    });
    doc->AddView(this);
    Refresh();
}

CExplorerView::~CExplorerView() { StopBuild(); }

CNorvaneDoc* CExplorerView::GetDocument() const {
    return static_cast<CNorvaneDoc*>(CView::GetDocument());
}

void CExplorerView::OnInitialUpdate() {
    StopBuild();
    m_tree->clear();
    m_cancelled = false;
    if (!GetDocument()->m_games.empty()) StartBuild();
    Refresh();
}

void CExplorerView::OnUpdate(CView*, int hint) {
    if (hint & (HintPositionChanged | HintReloadGame | HintOpeningNames)) Refresh();
}

void CExplorerView::StartBuild() {
    StopBuild();
    const QByteArray path = QFile::encodeName(GetDocument()->GetPathName());
    m_cancelled           = false;
    m_tree->clear();
    if (path.isEmpty()) {
        Refresh();
        return;
    }
    // The worker fills a tree of its own, replaying the games on Boards of its own threads:
    // the board on the screen and the engine's think are never disturbed.
    auto       built = std::make_shared<OpeningTree>();
    const auto build = [built, file = path.toStdString()](PassControl& control) {
        built->build(file.c_str(), &control);
    };
    m_buildTask.Start(QString::fromUtf8(StudyText::BuildingTree),
                      QFileInfo(QFile::decodeName(path)).size(), build,
                      [this, built](bool completed) { BuildEnded(built, completed); });
    Refresh();
}

void CExplorerView::StopBuild() { m_buildTask.Abandon(); }

void CExplorerView::CancelBuild() { m_buildTask.Cancel(); }

void CExplorerView::BuildEnded(std::shared_ptr<OpeningTree> built, bool completed) {
    // A build the program stops itself (StopBuild) never gets here: this one ran to its end
    // (or found its file changed, which Refresh shows), or the user cancelled it, and the
    // pane offers to build again.
    if (completed)
        m_tree = std::move(built);
    else
        m_cancelled = true;
    Refresh();
}

void CExplorerView::Refresh() {
    m_pRows->clear();
    m_answer = {};
    const bool haveFile = !GetDocument() || !GetDocument()->m_games.empty();
    // A build that found the file changed under it failed: it can be started again.
    const bool failed = !IsBuilding() && m_tree->outcome() == TreeBuild::FileChanged;
    m_pBuild->setVisible(haveFile && (m_cancelled || failed));
    m_pListGames->setEnabled(false);
    if (!GetDocument() || GetDocument()->m_games.empty()) {
        m_pSummary->setText(QString::fromUtf8(StudyText::ExplorerNoFile));
        return;
    }
    if (m_cancelled) {
        m_pSummary->setText(QString::fromUtf8(StudyText::ExplorerCancelled));
        return;
    }
    if (IsBuilding()) {
        m_pSummary->setText(QString::fromUtf8(StudyText::ExplorerBuilding).arg(m_buildTask.Percent()));
        return;
    }
    if (failed) {
        m_pSummary->setText(QString::fromUtf8(StudyText::ExplorerFileChanged));
        return;
    }
    m_answer = m_tree->answer();
    m_pListGames->setEnabled(true);
    // The count column holds the file's game count whole: a large file's counts are not cut.
    const int countWidth =
        m_pRows->fontMetrics().horizontalAdvance(QString::number(m_tree->gameCount())) +
        CountColumnPadding;
    m_pRows->setColumnWidth(1, std::max(rowColumnWidths[1], countWidth));
    if (m_answer.games == 0) {
        m_pSummary->setText(QString::fromUtf8(StudyText::ExplorerDepth).arg(TreeDepth / 2));
        return;
    }
    QString summary = QString::fromUtf8(StudyText::ExplorerGames).arg(m_answer.games);
    const OpeningNameSettings& names = GetDocument()->m_openingNames;
    const std::string opening = explorerOpeningText(m_tree->openingAt(board.hashKey),
                                                    findOpening(board.hashKey) != NoOpening, names);
    if (!opening.empty()) summary += QStringLiteral("  ") + QString::fromStdString(opening);
    m_pSummary->setText(summary);
    QList<QTreeWidgetItem*> items;
    for (const TreeMoveRow& row : m_answer.moves) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, QString::fromLatin1(row.san));
        item->setText(1, QString::number(row.count));
        item->setText(2, percentText(row.whiteWins, row.count));
        item->setText(3, percentText(row.draws, row.count));
        item->setText(4, percentText(row.blackWins, row.count));
        item->setText(5, row.lastYear ? QString::number(row.lastYear) : QString());
        item->setText(6, QString::fromStdString(explorerOpeningText(row.opening, row.openingOwn, names)));
        item->setToolTip(6, item->text(6));
        for (int c = 1; c <= 5; ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    m_pRows->addTopLevelItems(items);
}

void CExplorerView::PlayRow(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_answer.moves.size()) return;
    if (CNorvaneView* boardView = GetDocument()->GetBoardView())
        boardView->PlayChosenMove(m_answer.moves[static_cast<std::size_t>(row)].move);
}

void CExplorerView::ListGames() {
    CNorvaneDoc* doc = GetDocument();
    if (!doc->CanUseFileCommands()) return;
    SearchCriteria criteria;
    criteria.position = true;
    doc->m_filter     = searchFilterOf(criteria);
    doc->SearchGames([this] {
        if (!GetDocument()->WasCancelled()) emit gamesListed();
    });
}
